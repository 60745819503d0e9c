// Parameter texts: pairs of a name, "=" and a value joined by "|". Names match without
// regard to ASCII case, values are trimmed, the first pair of a name wins.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace tessaro {

struct TParameter {
    std::string Name;
    std::string Value;
};

class TParameterList {
  public:
    void ParseParameters(const std::string& text);
    const TParameter* FindParameter(const std::string& name) const;
    bool GetParameterValue(const std::string& name, std::string& value) const;
    void AddParameter(const std::string& name, const std::string& value);
    // Sets the first matching pair's value, or appends the pair.
    void SetParameter(const std::string& name, const std::string& value);
    void WriteParameters(std::string& buffer) const;
    void ClearParameters();
    const std::vector<std::unique_ptr<TParameter>>& Items() const { return items_; }

  private:
    std::vector<std::unique_ptr<TParameter>> items_;
};

// The command callbacks' lookup, through one process-wide list that re-parses only when the
// text differs from the last one parsed.
bool GetCommandParameter(const char* text, const std::string& name, std::string& value);
void SetCommandParameter(std::string& buffer, const std::string& name, const std::string& value);

}  // namespace tessaro
