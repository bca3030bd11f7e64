// Saved by an editor that starts UTF-8 files with a byte-order mark.
float4 Fill : register(c0);

float4 vs_main(float4 pos : POSITION) : POSITION { return pos; }

float4 ps_main() : COLOR0 { return Fill; }
