#pragma once

#include <QDateTime>
#include <QFont>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "command/run_calculation.h"
#include "ui/twips.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTimer;

namespace quorvane::ui {

class MessageBoxes;

// The font the layout is drawn up for: 9 pt, which is 180 twips, one Chinese
// character's width; Latin letters and digits come to about half that.
QFont WindowFont();

// The credit line's one-line caption.
QString CreditCaption();

// The calculator's only window. Every control carries its short name as its
// objectName (txtXa, opn2, cmd1, txtrlt, lbl1, Timer1, ...). The window is what
// a calculation reads its input texts and turn sign from and appends its
// report to.
class Form1 : public QWidget, public CalculationView {
  Q_OBJECT

 public:
  explicit Form1(MessageBoxes& boxes, QWidget* parent = nullptr);
  ~Form1() override;

  // CalculationView, over the window's controls.
  std::string InputText(InputBox box) const override;
  std::int16_t Turn() const override { return turn_; }
  void AppendResult(std::string_view block) override;
  void ShowMessage(std::string_view prompt, std::string_view title) override;

  const TwipsScale& Scale() const { return scale_; }

  // The window's outer width, frame included, in twips.
  float OuterWidthTwips() const;

  // The credit line's left edge and width in twips. The left edge is kept
  // here, in single precision, and the label's pixel position derived from it,
  // so pixel rounding never accumulates over the ticks.
  float CreditLeftTwips() const { return creditLeftTwips_; }
  float CreditWidthTwips() const { return creditWidthTwips_; }
  void MoveCreditTo(float leftTwips);

  // Where the clock reads the time; the system clock unless replaced.
  void SetClock(std::function<QDateTime()> now) { now_ = std::move(now); }

  // Tick handlers of Timer1 (rightward, refreshes the clock) and Timer2
  // (leftward).
  void OnTimer1Tick();
  void OnTimer2Tick();

 private:
  void BuildControls();
  void OnFocusChanged(QWidget* old, QWidget* now);
  void ShowReminderOnceMouseIsUp();
  void ShowReminder();
  void OnCalculateClicked();

  MessageBoxes& boxes_;
  TwipsScale scale_;
  std::int16_t turn_ = 0;

  std::array<QLineEdit*, 8> inputs_{};  // indexed by InputBox
  QRadioButton* opn1_ = nullptr;
  QRadioButton* opn2_ = nullptr;
  QPushButton* cmd1_ = nullptr;
  QPlainTextEdit* txtrlt_ = nullptr;
  QLabel* lbl1_ = nullptr;
  QLabel* lbtime_ = nullptr;
  QTimer* timer1_ = nullptr;
  QTimer* timer2_ = nullptr;

  // Set when the focus has left txtd for another control of this window and
  // the reminder has not been shown for that yet.
  bool reminderOwed_ = false;
  QTimer* reminderTimer_ = nullptr;
  QMetaObject::Connection focusWatch_;

  float creditLeftTwips_ = 240.0f;
  float creditWidthTwips_ = 0.0f;
  std::function<QDateTime()> now_ = [] { return QDateTime::currentDateTime(); };
};

}  // namespace quorvane::ui
