// The field panel as the main window sees it; the editing subsystem builds it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <QGroupBox>

namespace tabulor {

class HostWindow;

// The field read/write panel ("字段读写") as the main window sees it: it is told which table
// is shown and follows the grid. The editing subsystem builds it (createRecordPanel), so
// the window needs nothing of how a field is read or written.
class RecordPanel : public QGroupBox {
  Q_OBJECT

 public:
  using QGroupBox::QGroupBox;

  // The selectors' indexes, to select the same again after the table is shown afresh.
  struct Selection {
    int record = -1;
    int field = -1;
  };
  // The record selected, from 1; 0 for none.
  virtual int selectedRecordNumber() const = 0;
  virtual Selection selection() const = 0;
  // Selects the record (when the selector still has it) and the field, reading the field.
  virtual void select(const Selection& selection) = 0;
  // The selectors for a newly shown table: its fields and the record numbers 1..records,
  // nothing selected and nothing read.
  virtual void fillSelectors(const std::vector<std::string>& fieldNames, std::int32_t records) = 0;
  // Empties the values, the preview and the selectors.
  virtual void clear() = 0;
  // The grid's current cell moved to (row, column).
  virtual void syncPanelToGridCursor(int row, int column) = 0;
};

// Builds the panel of the main window; defined by the editing subsystem.
RecordPanel* createRecordPanel(HostWindow& window, QWidget* parent);

}  // namespace tabulor
