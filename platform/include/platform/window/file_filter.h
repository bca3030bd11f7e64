#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace window {

// Turns a NUL-separated filter ("Name\0*.a;*.b\0...\0\0") into name filters
// of the form "Name (*.a *.b)". A trailing pair without its patterns is
// dropped; an empty filter gives an empty list.
std::vector<std::string> ConvertFileFilter(std::string_view filter);

}  // namespace window
