// The in-place editors of the table designer's grid: a drop-down list and a numeric editor.
#pragma once

#include <QPointer>
#include <QStyledItemDelegate>

namespace tabulor {

class EGrid;

// The in-place editors of the designer's field grid, following the grid's input
// kinds: a drop-down list that commits as soon as a choice is picked, and a
// numeric editor that refuses any character other than digits, "-" and ".".
class DesignerCellEditors : public QStyledItemDelegate {
  Q_OBJECT

 public:
  explicit DesignerCellEditors(EGrid* grid);

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override;
  void setEditorData(QWidget* editor, const QModelIndex& index) const override;
  void setModelData(QWidget* editor, QAbstractItemModel* model,
                    const QModelIndex& index) const override;

  // The editor open now, if any.
  QWidget* openEditor() const { return openEditor_; }
  // Writes the open editor's text into its cell and closes it.
  void commitOpenEditor();

 signals:
  // A typed character was refused by the numeric editor.
  void characterRefused();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  EGrid* grid_;
  mutable QPointer<QWidget> openEditor_;
};

}  // namespace tabulor
