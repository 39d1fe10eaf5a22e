// Late-bound automation: objects reached by member name and the values they pass.

#include "editing/export/automation.h"

#include <cstddef>

namespace tabulor {

AutomationObject::AutomationObject(std::shared_ptr<Dispatch> dispatch)
    : dispatch_(std::move(dispatch)) {}

Variant AutomationObject::get(std::string_view member, std::vector<Variant> args) const {
  return dispatch_ ? dispatch_->invoke(RequestKind::get, member, args) : Variant();
}

Variant AutomationObject::call(std::string_view member, std::vector<Variant> args) const {
  return dispatch_ ? dispatch_->invoke(RequestKind::call, member, args) : Variant();
}

bool AutomationObject::put(std::string_view member, std::vector<Variant> args) const {
  return dispatch_ && !dispatch_->invoke(RequestKind::put, member, args).isEmpty();
}

VariantArray::VariantArray(int rows, int columns)
    : rows_(rows),
      columns_(columns),
      elements_(static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns)) {}

std::string& VariantArray::at(int row, int column) {
  return elements_[static_cast<std::size_t>(column - 1) * static_cast<std::size_t>(rows_) +
                   static_cast<std::size_t>(row - 1)];
}

const std::string& VariantArray::at(int row, int column) const {
  return const_cast<VariantArray*>(this)->at(row, column);
}

AutomationObject Variant::object() const {
  const auto* held = std::get_if<AutomationObject>(&value_);
  return held ? *held : AutomationObject();
}

}  // namespace tabulor
