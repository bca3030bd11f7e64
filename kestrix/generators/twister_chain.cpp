#include "generators/twister_chain.h"

namespace kestrix {
namespace {

AnimatedValue Eased(int32_t period, float target, float c, int32_t counter) {
  AnimatedValue value;
  value.period = period;
  value.target = target;
  value.c = c;
  value.counter = counter;
  return value;
}

void Pass(int32_t* counter) {
  if (*counter != 0 && ++*counter == 4) *counter = 0;
}

}  // namespace

TwisterSegment::TwisterSegment()
    : height(Eased(4, 100.0f, 1.0f / 64, 1)),
      wobble(Eased(5, 0.0f, 1.0f / 128, 1)),
      radius(Eased(3, 30.0f, 1.0f / 64, 1)),
      twist(Eased(3, 0.0f, 1.0f / 256, 1)),
      scale(Eased(4, 1.0f, 1.0f / 32, 1)),
      hue(Eased(4, 0.0f, 1.0f / 128, 0)),
      brightness(Eased(4, 0.0f, 1.0f / 128, 0)),
      saturation(Eased(4, 0.0f, 1.0f / 128, 0)) {}

void LinkTwisterChain(TwisterChain& chain) {
  for (int k = 0; k < kTwisterSegments; ++k) {
    chain[size_t(k)].index = k;
    chain[size_t(k)].next = k + 1 < kTwisterSegments ? &chain[size_t(k) + 1] : nullptr;
  }
}

void StepTwisterChain(TwisterChain& chain) {
  for (TwisterSegment& segment : chain) {
    segment.spinYaw += segment.spinYawRate;
    segment.spinPitch += segment.spinPitchRate;
    segment.spinRoll += segment.spinRollRate;
    for (int32_t* counter : {&segment.yawPass, &segment.pitchPass, &segment.rollPass, &segment.meshPass}) Pass(counter);
    AnimatedValue* values[] = {&segment.height, &segment.wobble,     &segment.radius,    &segment.twist,
                               &segment.scale,  &segment.hue, &segment.brightness, &segment.saturation};
    for (AnimatedValue* value : values) value->Step();
    TwisterSegment* next = segment.next;
    if (next == nullptr) continue;
    const auto handOn = [](int32_t counter, auto from, auto* to, int32_t* toCounter) {
      if (counter != 3) return;
      *to = from;
      *toCounter = 1;
    };
    handOn(segment.yawPass, segment.spinYawRate, &next->spinYawRate, &next->yawPass);
    handOn(segment.pitchPass, segment.spinPitchRate, &next->spinPitchRate, &next->pitchPass);
    handOn(segment.rollPass, segment.spinRollRate, &next->spinRollRate, &next->rollPass);
    handOn(segment.meshPass, segment.mesh, &next->mesh, &next->meshPass);
    // The twist is set on every segment at once and never handed on.
    AnimatedValue TwisterSegment::*handed[] = {&TwisterSegment::height,    &TwisterSegment::wobble,
                                               &TwisterSegment::radius,    &TwisterSegment::scale,
                                               &TwisterSegment::hue,       &TwisterSegment::brightness,
                                               &TwisterSegment::saturation};
    for (auto member : handed) {
      if ((segment.*member).flag != 0) (next->*member).SetTarget((segment.*member).target);
    }
  }
}

}  // namespace kestrix
