#include "ui/line/stake_export.h"

#include <cmath>

#include "calc/calculation_error.h"
#include "io/atomic_file.h"
#include "io/export.h"
#include "calc/messages.h"
#include "command/line_stakes.h"
#include "ui/line/stake_model.h"

namespace quorvane::ui {

void WriteStakeRows(const std::string& path, const StakeModel& stakes, const std::vector<int>& rows,
                    std::string_view landXmlDocument) {
  if (!ExportFormatOf(path) && !IsLandXmlFileName(path)) throw CalculationError(kLineExportExtensionPrompt);
  WriteStakeFile(
      path, stakes.Columns(),
      [&](const auto& visit) {
        for (int row : rows) visit(stakes.RowAt(row));
      },
      3, landXmlDocument);
}

void WriteTableCsv(const std::string& path, const std::vector<std::vector<std::string>>& table) {
  WriteFileAtomically(path, CsvText(table, true));
}

}  // namespace quorvane::ui
