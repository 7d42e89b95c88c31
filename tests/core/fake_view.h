#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "command/run_calculation.h"

namespace quorvane::testing {

// The window's input boxes, turn sign, result box and message boxes, held in
// memory. Starts with the window's default texts and no turn chosen.
class FakeView : public CalculationView {
 public:
  struct Message {
    std::string prompt;
    std::string title;
  };

  std::array<std::string, 8> texts = {"4040964.994", "195601.155", "180.108", "250.365",
                                      "1500",        "130",        "17.3415", ""};
  std::int16_t turn = 0;
  std::string result;
  std::vector<Message> messages;

  std::string& Text(InputBox box) { return texts[static_cast<std::size_t>(box)]; }

  std::string InputText(InputBox box) const override { return texts[static_cast<std::size_t>(box)]; }
  std::int16_t Turn() const override { return turn; }
  void AppendResult(std::string_view block) override { result.append(block); }
  void ShowMessage(std::string_view prompt, std::string_view title) override {
    messages.push_back({std::string(prompt), std::string(title)});
  }
};

}  // namespace quorvane::testing
