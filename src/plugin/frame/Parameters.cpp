// Parameter texts: "Name=Value" pairs joined by "|". The same texts carry command
// parameters, component swap texts and cross-probe parameters, so parsing must be exactly
// reproducible: duplicates are kept in order and the first pair of a name wins.
#include "frame/Parameters.h"

#include <cstring>
#include <string_view>

namespace tessaro {

namespace {

// Characters up to and including the space are padding at either end.
bool IsPadding(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}
bool IsControl(char c) {
    return static_cast<unsigned char>(c) < ' ';
}

std::string_view TrimIf(std::string_view text, bool (*strip)(char)) {
    while (!text.empty() && strip(text.front())) text.remove_prefix(1);
    while (!text.empty() && strip(text.back())) text.remove_suffix(1);
    return text;
}

std::string Trim(std::string_view text) {
    return std::string(TrimIf(text, IsPadding));
}

char AsciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool SameName(std::string_view a, std::string_view b) {
    a = TrimIf(a, IsControl);
    b = TrimIf(b, IsControl);
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
    }
    return true;
}

}  // namespace

void TParameterList::ParseParameters(const std::string& text) {
    ClearParameters();
    // Texts arrive as zero-terminated strings from the host: a zero ends the text.
    const std::string_view all(text.c_str());
    std::size_t pairStart = 0;
    std::size_t equals = std::string_view::npos;
    for (std::size_t i = 0;; ++i) {
        const bool atEnd = i == all.size();
        if (atEnd || all[i] == '|') {
            if (equals != std::string_view::npos) {
                AddParameter(std::string(all.substr(pairStart, equals - pairStart)),
                             std::string(all.substr(equals + 1, i - equals - 1)));
            }
            if (atEnd) break;
            pairStart = i + 1;
            equals = std::string_view::npos;
        } else if (all[i] == '=' && equals == std::string_view::npos) {
            equals = i;
        }
    }
}

const TParameter* TParameterList::FindParameter(const std::string& name) const {
    for (const auto& parameter : items_) {
        if (SameName(parameter->Name, name)) return parameter.get();
    }
    return nullptr;
}

bool TParameterList::GetParameterValue(const std::string& name, std::string& value) const {
    const TParameter* parameter = FindParameter(name);
    value = parameter ? Trim(parameter->Value) : std::string();
    return parameter != nullptr;
}

void TParameterList::AddParameter(const std::string& name, const std::string& value) {
    std::string trimmedName = Trim(name);
    if (trimmedName.empty()) return;
    items_.push_back(std::make_unique<TParameter>(TParameter{std::move(trimmedName), Trim(value)}));
}

void TParameterList::SetParameter(const std::string& name, const std::string& value) {
    // Pairs are stored under their trimmed names, so look for the name as it would be stored:
    // otherwise a padded name would add a second pair that the first one always hides.
    const std::string key = Trim(name);
    for (auto& parameter : items_) {
        if (SameName(parameter->Name, key)) {
            parameter->Value = Trim(value);
            return;
        }
    }
    AddParameter(name, value);
}

void TParameterList::WriteParameters(std::string& buffer) const {
    buffer.clear();
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (i > 0) buffer += '|';
        buffer += items_[i]->Name;
        buffer += '=';
        // An empty value is written as a space so that the pair still reads back.
        buffer += items_[i]->Value.empty() ? std::string(" ") : items_[i]->Value;
    }
}

void TParameterList::ClearParameters() {
    items_.clear();
}

namespace {

// The callbacks ask for several names of one text in a row: keep the last text parsed.
struct CommandParameterCache {
    TParameterList list;
    std::string lastText;
};

CommandParameterCache& Cache() {
    static CommandParameterCache cache;
    return cache;
}

}  // namespace

bool GetCommandParameter(const char* text, const std::string& name, std::string& value) {
    value.clear();
    if (text == nullptr || *text == '\0') return false;
    CommandParameterCache& cache = Cache();
    if (std::strcmp(text, cache.lastText.c_str()) != 0) {
        cache.lastText = text;
        cache.list.ParseParameters(cache.lastText);
    }
    return cache.list.GetParameterValue(name, value);
}

void SetCommandParameter(std::string& buffer, const std::string& name, const std::string& value) {
    TParameterList list;
    list.ParseParameters(buffer);
    list.SetParameter(name, value);
    list.WriteParameters(buffer);
}

}  // namespace tessaro
