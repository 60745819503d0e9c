#include "hostapp/design/JsonLayout.h"

#include <stdexcept>

namespace hostapp::design::detail {

LayoutNode LayoutNode::Raw(std::string jsonText) {
    LayoutNode node(Kind::Scalar);
    node.text_ = std::move(jsonText);
    return node;
}

LayoutNode LayoutNode::String(const std::string& text) {
    try {
        return Raw(Json(text).dump());
    } catch (const nlohmann::json::type_error&) {
        throw std::invalid_argument("text that is not UTF-8 cannot be written: \"" + text + "\"");
    }
}

LayoutNode LayoutNode::FromJson(const Json& value) {
    if (value.is_object()) {
        LayoutNode node = Object();
        for (const auto& [key, member] : value.items()) node.Add(key, FromJson(member));
        return node;
    }
    if (value.is_array()) {
        LayoutNode node = Array();
        for (const Json& item : value) node.Add(FromJson(item));
        return node;
    }
    if (value.is_string()) return String(value.get<std::string>());
    // The library writes numbers with the shortest text that reads back the same.
    return Raw(value.dump());
}

LayoutNode& LayoutNode::Add(LayoutNode item) {
    items_.push_back(std::move(item));
    return *this;
}

LayoutNode& LayoutNode::Add(std::string key, LayoutNode value) {
    members_.emplace_back(String(key).text_, std::move(value));
    return *this;
}

bool LayoutNode::OneLine(std::string& out) const {
    switch (kind_) {
        case Kind::Scalar:
            out += text_;
            return true;
        case Kind::Array: {
            const std::size_t start = out.size();
            out += '[';
            for (std::size_t i = 0; i < items_.size(); ++i) {
                if (items_[i].kind_ == Kind::Object) return false;
                if (i > 0) out += ", ";
                if (!items_[i].OneLine(out)) return false;
                if (out.size() - start > kMaxInlineArray) return false;
            }
            out += ']';
            return out.size() - start <= kMaxInlineArray;
        }
        case Kind::Object: {
            if (members_.empty()) {
                out += "{}";
                return true;
            }
            out += "{ ";
            for (std::size_t i = 0; i < members_.size(); ++i) {
                const auto& [key, value] = members_[i];
                if (value.kind_ == Kind::Object) return false;
                if (i > 0) out += ", ";
                out += key;
                out += ": ";
                if (!value.OneLine(out)) return false;
            }
            out += " }";
            return true;
        }
    }
    return false;
}

void LayoutNode::WriteExpanded(std::string& out, std::size_t indent) const {
    if (kind_ == Kind::Scalar) {
        out += text_;
        return;
    }
    const bool array = kind_ == Kind::Array;
    const std::size_t count = array ? items_.size() : members_.size();
    if (count == 0) {
        out += array ? "[]" : "{}";
        return;
    }
    out += array ? "[\n" : "{\n";
    for (std::size_t i = 0; i < count; ++i) {
        out.append(indent + 2, ' ');
        const LayoutNode* value = &(array ? items_[i] : members_[i].second);
        if (!array) {
            out += members_[i].first;
            out += ": ";
        }
        std::string line;
        if (value->OneLine(line)) {
            out += line;
        } else {
            value->WriteExpanded(out, indent + 2);
        }
        if (i + 1 < count) out += ',';
        out += '\n';
    }
    out.append(indent, ' ');
    out += array ? ']' : '}';
}

std::string LayoutNode::Write() const {
    std::string out;
    WriteExpanded(out, 0);
    out += '\n';
    return out;
}

}  // namespace hostapp::design::detail
