// An automation server made of a table of named properties and methods.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "editing/export/automation.h"

namespace tabulor {

// An in-process automation object: a table of named members, each a property (get and
// put) and/or a method. A request tries the member's ways of invocation in the order
// late binding tries them — get: property get, method; call: method, property get,
// property put; put: property put, method — so "put with no value" ends as a method
// call, as on the desktop.
class MemberDispatch : public Dispatch {
 public:
  using Args = std::vector<Variant>;
  // nullopt is failure; an empty Variant is success without a result.
  using Getter = std::function<std::optional<Variant>(const Args&)>;
  using Setter = std::function<bool(const Args& index, const Variant& value)>;

  Variant invoke(RequestKind kind, std::string_view member, const Args& args) final;

 protected:
  void addProperty(std::string name, Getter get, Setter put = nullptr);
  void addMethod(std::string name, Getter method);

 private:
  struct Member {
    std::string name;
    Getter get;
    Setter put;
    Getter method;
  };
  Member* find(std::string_view name);
  static std::optional<Variant> putInto(const Member& member, const Args& args);

  std::vector<Member> members_;
};

}  // namespace tabulor
