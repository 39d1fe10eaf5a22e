// Late-bound automation: objects reached by member name, the values they pass, their servers.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tabulor {

class Dispatch;
class Variant;

// An automation server's object, reached by member name at run time. An empty object
// (no server behind it) answers every request with failure, so a chain of requests on
// a failed result goes on quietly, as late-bound automation does.
class AutomationObject {
 public:
  AutomationObject() = default;
  explicit AutomationObject(std::shared_ptr<Dispatch> dispatch);

  explicit operator bool() const { return dispatch_ != nullptr; }
  bool operator==(const AutomationObject& other) const { return dispatch_ == other.dispatch_; }

  // Member names are matched ignoring case. get and call answer an empty Variant on
  // failure; put answers false. For put the value is the last argument.
  Variant get(std::string_view member, std::vector<Variant> args = {}) const;
  Variant call(std::string_view member, std::vector<Variant> args = {}) const;
  bool put(std::string_view member, std::vector<Variant> args) const;

  void release() { dispatch_.reset(); }

 private:
  std::shared_ptr<Dispatch> dispatch_;
};

// Rows x columns of texts, 1-based, stored with the rows running fastest: element
// (i, j) is linear element (j - 1) * rows + i, counted from 1.
class VariantArray {
 public:
  VariantArray() = default;
  VariantArray(int rows, int columns);

  int rows() const { return rows_; }
  int columns() const { return columns_; }
  std::string& at(int row, int column);
  const std::string& at(int row, int column) const;
  bool operator==(const VariantArray&) const = default;

 private:
  int rows_ = 0;
  int columns_ = 0;
  std::vector<std::string> elements_;
};

// The argument and result type of automation requests. Texts are UTF-8.
class Variant {
 public:
  Variant() = default;
  Variant(const char* text) : value_(std::string(text)) {}
  Variant(std::string text) : value_(std::move(text)) {}
  Variant(std::int32_t number) : value_(number) {}
  Variant(bool flag) : value_(flag) {}
  Variant(VariantArray array) : value_(std::move(array)) {}
  Variant(AutomationObject object) : value_(std::move(object)) {}

  bool isEmpty() const { return std::holds_alternative<std::monostate>(value_); }
  const std::string* text() const { return std::get_if<std::string>(&value_); }
  const std::int32_t* integer() const { return std::get_if<std::int32_t>(&value_); }
  const bool* boolean() const { return std::get_if<bool>(&value_); }
  const VariantArray* array() const { return std::get_if<VariantArray>(&value_); }
  VariantArray* array() { return std::get_if<VariantArray>(&value_); }
  // The object held, or an empty object for any other value.
  AutomationObject object() const;

  bool operator==(const Variant&) const = default;

 private:
  std::variant<std::monostate, std::string, std::int32_t, bool, VariantArray, AutomationObject>
      value_;
};

enum class RequestKind { get, call, put };

// What an automation server implements: one request on one member. An empty result
// of get or call, or false from put, is the failure the caller never sees.
class Dispatch {
 public:
  virtual ~Dispatch() = default;
  virtual Variant invoke(RequestKind kind, std::string_view member,
                         const std::vector<Variant>& args) = 0;
};

}  // namespace tabulor
