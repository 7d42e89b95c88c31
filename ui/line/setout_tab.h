#pragma once

#include <QWidget>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "calc/cross_section.h"
#include "calc/line.h"
#include "calc/profile.h"
#include "calc/setout.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QStandardItemModel;
class QTableView;

namespace quorvane::ui {

class FileDialogs;
class MessageBoxes;
class StakeModel;

// What the 放样 tab sets out from: the window's line as last read, and its
// stake table.
struct SetoutSource {
  const Line* line = nullptr;
  const Profile* profile = nullptr;       // design heights where it reaches
  const CrossSection* section = nullptr;  // a typed point's height from its side's slope
  CrossSlopes slopes;                     // the same without a cross-section
  const StakeModel* stakes = nullptr;     // the 逐桩坐标 rows
  std::vector<int> selected;              // rows of the stake table selected, in order
  std::string landXml;                    // the line as a LandXML document, for .xml points
  std::string lineName;
};

// The 放样 tab: setting-out data from an instrument station. The station and
// backsight are typed as X and Y, or picked by name from a points file
// (点号,X,Y[,H]; the station's H then fills its ground height). With the
// station's ground height the instrument and target heights (blank: 0) give
// each point's height difference to set (高差) where it has a design height.
//
// 计算 sets out the rows of 逐桩坐标, all or the ones selected there, each
// stake followed by its edge points, named as in the coordinate files:
// 点号, X, Y, 方位角, 平距, 水平角 (DD.MMSS), then H and 高差 as available.
// A single point typed as 桩号 and 偏距 (right positive) is added as a row of
// its own and shown with its coordinates below the table. The rows are
// copied with Ctrl+C, exported as CSV or LandXML (the line and its points
// for a data collector), and printed.
class SetoutTab : public QWidget {
  Q_OBJECT

 public:
  // `source` gives what to set out from when asked, after bringing the line
  // and (with `stakes`) the stake table up to date; none after telling the
  // user why there is nothing.
  using Source = std::function<std::optional<SetoutSource>(bool stakes)>;
  SetoutTab(MessageBoxes& boxes, FileDialogs& dialogs, Source source, QWidget* parent = nullptr);

  // The stake rows (or the selected ones) set out; false after telling why not.
  bool Compute();
  // The single point typed; false after telling why not.
  bool ComputePoint();
  // Reads a points file into the station and backsight choices; false after
  // telling why not.
  bool LoadPoints(const QString& path);
  // The result rows as tab-separated text with their heading, onto the clipboard.
  void Copy();
  // Asks for a file: .csv, or .xml (LandXML with the line's points).
  void Export();
  void Print();

  QStandardItemModel& Results() { return *results_; }
  QString PointText() const;

 private:
  struct Result {
    std::string name, code;
    double X_m = 0, Y_m = 0;
    std::optional<double> H_m;
    SetoutData data;
    std::optional<double> difference_m;
  };

  std::optional<SetoutStation> Station();
  void Show();
  std::vector<std::vector<std::string>> Table() const;  // heading first
  void Inform(const QString& prompt);

  MessageBoxes& boxes_;
  FileDialogs& dialogs_;
  Source source_;
  std::vector<Result> rows_;
  bool heights_ = false;  // whether the rows have H
  bool differences_ = false;
  std::string landXml_, lineName_;
  struct NamedPoint {
    QString name;
    double X_m, Y_m;
    std::optional<double> H_m;
  };
  std::vector<NamedPoint> points_;

  QLineEdit* stationX_ = nullptr;
  QLineEdit* stationY_ = nullptr;
  QLineEdit* backX_ = nullptr;
  QLineEdit* backY_ = nullptr;
  QComboBox* stationPick_ = nullptr;
  QComboBox* backPick_ = nullptr;
  QLineEdit* ground_ = nullptr;
  QLineEdit* instrument_ = nullptr;
  QLineEdit* target_ = nullptr;
  QCheckBox* selectedOnly_ = nullptr;
  QLineEdit* pointStation_ = nullptr;
  QLineEdit* pointOffset_ = nullptr;
  QLabel* pointText_ = nullptr;
  QStandardItemModel* results_ = nullptr;
  QTableView* view_ = nullptr;
};

}  // namespace quorvane::ui
