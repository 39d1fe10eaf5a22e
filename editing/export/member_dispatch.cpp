// An automation server made of a table of named properties and methods.

#include "editing/export/member_dispatch.h"

#include "sqlitedb/text_scanning.h"

namespace tabulor {

void MemberDispatch::addProperty(std::string name, Getter get, Setter put) {
  members_.push_back({std::move(name), std::move(get), std::move(put), nullptr});
}

void MemberDispatch::addMethod(std::string name, Getter method) {
  members_.push_back({std::move(name), nullptr, nullptr, std::move(method)});
}

MemberDispatch::Member* MemberDispatch::find(std::string_view name) {
  for (Member& member : members_)
    if (equalsIgnoringAsciiCase(member.name, name)) return &member;
  return nullptr;
}

std::optional<Variant> MemberDispatch::putInto(const Member& member, const Args& args) {
  if (!member.put || args.empty()) return std::nullopt;
  const Args index(args.begin(), args.end() - 1);
  if (!member.put(index, args.back())) return std::nullopt;
  return Variant();
}

Variant MemberDispatch::invoke(RequestKind kind, std::string_view name, const Args& args) {
  Member* member = find(name);
  if (!member) return Variant();
  auto tryGet = [&]() -> std::optional<Variant> {
    return member->get ? member->get(args) : std::nullopt;
  };
  auto tryMethod = [&]() -> std::optional<Variant> {
    return member->method ? member->method(args) : std::nullopt;
  };
  std::optional<Variant> result;
  switch (kind) {
    case RequestKind::get:
      result = tryGet();
      if (!result) result = tryMethod();
      return result.value_or(Variant());
    case RequestKind::call:
      result = tryMethod();
      if (!result) result = tryGet();
      if (!result) result = putInto(*member, args);
      return result.value_or(Variant());
    case RequestKind::put:
      result = putInto(*member, args);
      if (!result) result = tryMethod();
      return result ? Variant(true) : Variant();
  }
  return Variant();
}

}  // namespace tabulor
