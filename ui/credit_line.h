#pragma once

namespace quorvane::ui {

// The credit line along the bottom of the window: a one-line caption that
// travels right, 100 twips a tick, until its right end passes the window's
// outer width, then left until its left edge passes below 0, and so on.
// Plain arithmetic in single-precision twips; the window turns it into a
// label position and runs one timer per direction.
class CreditLine {
 public:
  enum class Phase { Rightward, Leftward };

  static constexpr float kStartTwips = 240.0f;
  static constexpr float kStepTwips = 100.0f;

  explicit CreditLine(float widthTwips) : widthTwips_(widthTwips) {}

  float LeftTwips() const { return leftTwips_; }
  float WidthTwips() const { return widthTwips_; }
  Phase CurrentPhase() const { return phase_; }

  // One tick of the current phase: move one step, then turn if the move
  // carried the line past its edge. The test is made after the move, so the
  // phase ends on the first tick that goes past, not on one that only
  // reaches the edge. Returns whether the phase turned.
  bool Tick(float outerWidthTwips) {
    if (phase_ == Phase::Rightward) {
      leftTwips_ += kStepTwips;
      if (widthTwips_ + leftTwips_ > outerWidthTwips) return phase_ = Phase::Leftward, true;
    } else {
      leftTwips_ -= kStepTwips;
      if (leftTwips_ < 0.0f) return phase_ = Phase::Rightward, true;
    }
    return false;
  }

 private:
  float widthTwips_;
  float leftTwips_ = kStartTwips;
  Phase phase_ = Phase::Rightward;
};

}  // namespace quorvane::ui
