// The fixed text layout of design files. Values are built as a small tree whose scalars are
// already JSON text (so lengths keep the exact digits chosen for them), then written with
// 2-space indentation where:
// - an object whose members are all scalars or one-line arrays stays on one line;
// - an array without objects inside stays on one line while it is at most kMaxInlineArray
//   characters long;
// - everything else opens one line per member or element.
// The layout depends only on the values, so equal designs give equal bytes.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "hostapp/design/StrictJson.h"

namespace hostapp::design::detail {

constexpr std::size_t kMaxInlineArray = 100;

class LayoutNode {
  public:
    enum class Kind { Scalar, Array, Object };

    static LayoutNode Raw(std::string jsonText);        // a number, true, false, null
    static LayoutNode String(const std::string& text);  // raises std::invalid_argument: not UTF-8
    static LayoutNode Bool(bool value) { return Raw(value ? "true" : "false"); }
    static LayoutNode Integer(long long value) { return Raw(std::to_string(value)); }
    static LayoutNode Array() { return LayoutNode(Kind::Array); }
    static LayoutNode Object() { return LayoutNode(Kind::Object); }
    // Any parsed JSON value, member order kept.
    static LayoutNode FromJson(const Json& value);

    LayoutNode& Add(LayoutNode item);                    // arrays
    LayoutNode& Add(std::string key, LayoutNode value);  // objects

    Kind kind() const { return kind_; }

    // The whole text, ending with a newline.
    std::string Write() const;

  private:
    explicit LayoutNode(Kind kind) : kind_(kind) {}
    bool OneLine(std::string& out) const;
    void WriteExpanded(std::string& out, std::size_t indent) const;

    Kind kind_;
    std::string text_;
    std::vector<std::pair<std::string, LayoutNode>> members_;  // keys as JSON text
    std::vector<LayoutNode> items_;
};

}  // namespace hostapp::design::detail
