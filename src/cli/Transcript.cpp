#include "cli/Transcript.h"

#include <nlohmann/json.hpp>

namespace cli {
namespace {

using Json = nlohmann::ordered_json;  // keys in the order the transcript format lists them

std::string Dump(const Json& json) {
    // Texts are shown as the plug-in wrote them; a byte that is not UTF-8 must not cost the
    // whole transcript, so it is replaced rather than raised.
    return json.dump(-1, ' ', false, Json::error_handler_t::replace);
}

}  // namespace

std::string DialogLine(const platform::Dialog& dialog, platform::Button answer) {
    Json buttons = Json::array();
    for (platform::Button b : dialog.buttons) buttons.push_back(platform::ButtonName(b));
    Json line;
    line["event"] = "dialog";
    line["kind"] = platform::DialogKindName(dialog.kind);
    line["caption"] = dialog.caption;
    line["text"] = dialog.text;
    line["buttons"] = buttons;
    line["answer"] = platform::ButtonName(answer);
    return Dump(line);
}

std::string PickLine(const std::string& prompt, const std::string& answer) {
    Json line;
    line["event"] = "pick";
    line["prompt"] = prompt;
    line["answer"] = answer;
    return Dump(line);
}

std::string MessageLine(const hostapp::MessageEntry& entry) {
    Json line;
    line["event"] = "message";
    line["class"] = entry.messageClass;
    line["text"] = entry.text;
    line["source"] = entry.source;
    line["document"] = entry.document;
    line["process"] = entry.process;
    line["parameters"] = entry.parameters;
    line["image"] = entry.image;
    return Dump(line);
}

std::string StatusLine(int pane, const std::string& text) {
    Json line;
    line["event"] = "status";
    line["pane"] = pane;
    line["text"] = text;
    return Dump(line);
}

void Transcript::Add(const platform::Interaction& interaction) {
    switch (interaction.kind) {
        case platform::Interaction::Kind::Dialog:
            Write(DialogLine(interaction.dialog, interaction.answer));
            break;
        case platform::Interaction::Kind::Pick:
            Write(PickLine(interaction.prompt, interaction.pickAnswer));
            break;
        case platform::Interaction::Kind::Choice:
            break;
    }
}

void Transcript::AddMessage(const hostapp::MessageEntry& entry) {
    Write(MessageLine(entry));
}

void Transcript::AddStatus(int code, const std::string& text) {
    if (code >= 1 && code <= 3) Write(StatusLine(code, text));
}

void Transcript::Flush() {
    if (out_) out_->flush();
}

void Transcript::Write(const std::string& line) {
    if (!out_) return;
    *out_ << line << '\n';
    out_->flush();
}

}  // namespace cli
