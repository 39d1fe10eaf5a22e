// The designer grid's editors: the kind each cell asks for, and numbers held to their characters.

#include "schema/designer_cell_editors.h"

#include <algorithm>

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QValidator>

#include "platform/egrid.h"

namespace tabulor {
namespace {

constexpr char kNumericEditor[] = "designerNumericEditor";

// ASCII only: a full-width digit is a digit to Unicode but no number to the designer.
bool acceptedByNumericEditor(QChar c) {
  return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('-') ||
         c == QLatin1Char('.');
}

// Editing keys (backspace, enter, control combinations) carry no printable text.
bool refusedByNumericEditor(const QString& typed) {
  for (const QChar c : typed)
    if (c.isPrint() && !acceptedByNumericEditor(c)) return true;
  return false;
}

// Text that arrives without a key press (a paste, an input method) is held to the same
// characters: the editor refuses any change that would bring in another one.
class NumericTextValidator : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int&) const override {
    return std::all_of(input.cbegin(), input.cend(), acceptedByNumericEditor) ? Acceptable
                                                                              : Invalid;
  }
};

}  // namespace

DesignerCellEditors::DesignerCellEditors(EGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

QWidget* DesignerCellEditors::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                           const QModelIndex& index) const {
  const int column = index.column() + grid_->gridModel()->shownFixedColumns();
  QWidget* editor = nullptr;
  switch (grid_->columnInputKind(column)) {
    case InputKind::DropDown: {
      auto* box = new QComboBox(parent);
      box->addItems(grid_->columnChoices(column));
      auto* self = const_cast<DesignerCellEditors*>(this);
      connect(box, &QComboBox::activated, self, [self, box] {
        emit self->commitData(box);
        emit self->closeEditor(box);
      });
      editor = box;
      break;
    }
    case InputKind::Numeric: {
      auto* edit = new QLineEdit(parent);
      edit->setValidator(new NumericTextValidator(edit));
      edit->setProperty(kNumericEditor, true);
      editor = edit;
      break;
    }
    case InputKind::ReadOnly:
      return nullptr;
    case InputKind::Text:
      editor = QStyledItemDelegate::createEditor(parent, option, index);
      break;
  }
  openEditor_ = editor;
  return editor;
}

void DesignerCellEditors::setEditorData(QWidget* editor, const QModelIndex& index) const {
  if (auto* box = qobject_cast<QComboBox*>(editor)) {
    box->setCurrentText(index.data(Qt::EditRole).toString());
    return;
  }
  QStyledItemDelegate::setEditorData(editor, index);
}

void DesignerCellEditors::setModelData(QWidget* editor, QAbstractItemModel* model,
                                       const QModelIndex& index) const {
  if (auto* box = qobject_cast<QComboBox*>(editor)) {
    model->setData(index, box->currentText(), Qt::EditRole);
    return;
  }
  QStyledItemDelegate::setModelData(editor, model, index);
}

void DesignerCellEditors::commitOpenEditor() {
  QWidget* editor = openEditor_;
  // The view hides an editor it has closed itself; deleting it comes later.
  if (!editor || !editor->isVisibleTo(grid_->viewport())) return;
  openEditor_ = nullptr;
  emit commitData(editor);
  emit closeEditor(editor);
}

bool DesignerCellEditors::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && watched->property(kNumericEditor).toBool() &&
      refusedByNumericEditor(static_cast<QKeyEvent*>(event)->text())) {
    emit characterRefused();
    return true;
  }
  return QStyledItemDelegate::eventFilter(watched, event);
}

}  // namespace tabulor
