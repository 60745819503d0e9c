// ParseDesign: a design file's text to DesignData. Every value is checked where it is read and
// the first problem ends reading with its JSON pointer; the caller gets a whole design or an
// error, never a part of one.
#include <algorithm>
#include <cctype>
#include <initializer_list>
#include <limits>
#include <map>
#include <set>
#include <stdexcept>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "hostapp/design/DesignFile.h"
#include "hostapp/design/DesignRules.h"
#include "hostapp/design/StrictJson.h"

namespace hostapp::design {

namespace {

using detail::Json;
using detail::PointerStep;

struct Failure {
    std::string path;
    std::string reason;
};

[[noreturn]] void Fail(std::string path, std::string reason) {
    throw Failure{std::move(path), std::move(reason)};
}

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

std::string Describe(const Json& value) {
    switch (value.type()) {
        case Json::value_t::null:
            return "null";
        case Json::value_t::boolean:
            return "a boolean";
        case Json::value_t::number_integer:
        case Json::value_t::number_unsigned:
        case Json::value_t::number_float:
            return "a number";
        case Json::value_t::string:
            return "a string";
        case Json::value_t::array:
            return "an array";
        case Json::value_t::object:
            return "an object";
        default:
            return "an unexpected value";
    }
}

[[noreturn]] void WrongType(const std::string& path, const char* expected, const Json& found) {
    Fail(path, std::string("expected ") + expected + ", found " + Describe(found));
}

// Designators, unique ids and file names compare without regard to ASCII case in the host.
std::string Folded(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string Child(const std::string& path, std::string_view key) {
    return path + PointerStep(std::string(key));
}

std::string Child(const std::string& path, std::size_t index) {
    return path + PointerStep(index);
}

void ExpectObject(const Json& value, const std::string& path,
                  std::initializer_list<std::string_view> keys) {
    if (!value.is_object()) WrongType(path, "an object", value);
    for (const auto& [key, member] : value.items()) {
        if (std::find(keys.begin(), keys.end(), key) == keys.end()) {
            Fail(Child(path, key), "unknown key " + Quoted(key));
        }
    }
}

const Json* Find(const Json& object, const char* key) {
    const auto it = object.find(key);
    return it == object.end() ? nullptr : &*it;
}

const Json& Need(const Json& object, const std::string& path, const char* key) {
    const Json* value = Find(object, key);
    if (value == nullptr) Fail(Child(path, key), "required key is missing");
    return *value;
}

// Absent optional arrays read as this.
const Json& EmptyArray() {
    static const Json empty = Json::array();
    return empty;
}

const Json& ArrayOf(const Json& object, const std::string& path, const char* key) {
    const Json* value = Find(object, key);
    if (value == nullptr) return EmptyArray();
    if (!value->is_array()) WrongType(Child(path, key), "an array", *value);
    return *value;
}

std::string StringValue(const Json& value, const std::string& path) {
    if (!value.is_string()) WrongType(path, "a string", value);
    return value.get<std::string>();
}

std::string String(const Json& object, const std::string& path, const char* key,
                   const char* fallback) {
    const Json* value = Find(object, key);
    if (value == nullptr) return fallback;
    return StringValue(*value, Child(path, key));
}

std::string Name(const Json& object, const std::string& path, const char* key) {
    std::string text = StringValue(Need(object, path, key), Child(path, key));
    if (text.empty()) Fail(Child(path, key), "must not be empty");
    return text;
}

bool Bool(const Json& object, const std::string& path, const char* key, bool fallback) {
    const Json* value = Find(object, key);
    if (value == nullptr) return fallback;
    if (!value->is_boolean()) WrongType(Child(path, key), "true or false", *value);
    return value->get<bool>();
}

long long IntegerValue(const Json& value, const std::string& path, long long min, long long max) {
    if (!value.is_number_integer()) WrongType(path, "a whole number", value);
    const bool tooLarge = value.is_number_unsigned() ? value.get<unsigned long long>() >
                                                           static_cast<unsigned long long>(max)
                                                     : value.get<long long>() > max;
    if (tooLarge || (!value.is_number_unsigned() && value.get<long long>() < min)) {
        Fail(path, "must be between " + std::to_string(min) + " and " + std::to_string(max));
    }
    return value.get<long long>();
}

int Integer(const Json& object, const std::string& path, const char* key, int fallback, int min,
            int max) {
    const Json* value = Find(object, key);
    if (value == nullptr) return fallback;
    return static_cast<int>(IntegerValue(*value, Child(path, key), min, max));
}

class Reader {
  public:
    DesignData Read(const Json& root) {
        if (!root.is_object()) WrongType("", "an object", root);
        const Json* format = Find(root, "format");
        if (format == nullptr) Fail("/format", "required key is missing");
        if (StringValue(*format, "/format") != "tessaro-design") {
            Fail("/format", "must be \"tessaro-design\"");
        }
        const Json& version = Need(root, "", "version");
        if (!version.is_number_integer() || version.get<long long>() != 1 ||
            (version.is_number_unsigned() && version.get<unsigned long long>() != 1)) {
            Fail("/version", "version " + version.dump() + " is not supported (expected 1)");
        }
        ExpectObject(root, "",
                     {"format", "version", "unit", "project", "schematics", "libraries",
                      "freeDocuments", "board", "devices"});

        DesignData design;
        design.unit = ReadUnit(Need(root, "", "unit"));
        unit_ = design.unit;

        // Everything that names a net is checked against the board's list as it is read, so
        // the list comes first whatever its place in the file.
        const Json* board = Find(root, "board");
        if (board != nullptr) {
            if (!board->is_object()) WrongType("/board", "an object", *board);
            ReadNets(*board);
        }

        if (const Json* project = Find(root, "project")) {
            design.project = ReadProject(*project, "/project");
        }
        design.schematics = ReadSheets(root, "schematics");
        design.libraries = ReadSheets(root, "libraries");
        const Json& freeDocuments = ArrayOf(root, "", "freeDocuments");
        for (std::size_t i = 0; i < freeDocuments.size(); ++i) {
            design.freeDocuments.push_back(
                StringValue(freeDocuments[i], Child("/freeDocuments", i)));
        }
        if (board != nullptr) design.board = ReadBoard(*board, "/board");

        if (const Json* devices = Find(root, "devices")) {
            if (!devices->is_array()) WrongType("/devices", "an array", *devices);
            design.devicesJson = devices->dump();
        }

        CheckDocuments(design);
        CheckSubParts(design.schematics, "/schematics", false);
        for (std::size_t i = 0; i < design.libraries.size(); ++i) {
            // Each library is a collection of its own: its components pair with nothing.
            CheckSubParts({design.libraries[i]}, Child("/libraries", i), true);
        }
        return design;
    }

  private:
    static Unit ReadUnit(const Json& value) {
        const std::string text = StringValue(value, "/unit");
        if (text == "mm") return Unit::Millimetre;
        if (text == "mil") return Unit::Mil;
        if (text == "internal") return Unit::Internal;
        Fail("/unit",
             "unknown unit " + Quoted(text) + " (expected \"mm\", \"mil\" or \"internal\")");
    }

    void ReadNets(const Json& board) {
        hasBoard_ = true;
        const Json& nets = ArrayOf(board, "/board", "nets");
        for (std::size_t i = 0; i < nets.size(); ++i) {
            const std::string path = Child("/board/nets", i);
            std::string name = StringValue(nets[i], path);
            if (name.empty()) Fail(path, "a net name must not be empty (\"\" stands for no net)");
            if (!nets_.insert(name).second) Fail(path, "net " + Quoted(name) + " is listed twice");
            netOrder_.push_back(std::move(name));
        }
    }

    // A net named by an object: "" (or no key) for none, otherwise one of the board's nets.
    std::string Net(const Json& object, const std::string& path, const char* key = "net") const {
        std::string name = String(object, path, key, "");
        CheckNet(name, Child(path, key));
        return name;
    }

    void CheckNet(const std::string& name, const std::string& path) const {
        if (!name.empty() && hasBoard_ && nets_.count(name) == 0) {
            Fail(path, "net " + Quoted(name) + " is not listed in /board/nets");
        }
    }

    std::int32_t LengthValue(const Json& value, const std::string& path, bool size) const {
        if (!value.is_number()) WrongType(path, "a number", value);
        const double number = value.get<double>();
        if (size && number < 0) Fail(path, "a size must not be negative");
        try {
            return ToInternal(number, unit_);
        } catch (const std::out_of_range&) {
            Fail(path, "beyond the board's coordinate range");
        }
    }

    std::int32_t Length(const Json& object, const std::string& path, const char* key) const {
        return LengthValue(Need(object, path, key), Child(path, key), false);
    }

    std::int32_t Size(const Json& object, const std::string& path, const char* key) const {
        return LengthValue(Need(object, path, key), Child(path, key), true);
    }

    // Two numbers in an array: a point, or a pad's two sizes.
    std::pair<std::int32_t, std::int32_t> Pair(const Json& value, const std::string& path,
                                               bool size) const {
        if (!value.is_array() || value.size() != 2) {
            Fail(path, std::string("expected an array of two numbers [") +
                           (size ? "width, height" : "x, y") + "], found " +
                           (value.is_array() ? "an array of " + std::to_string(value.size())
                                             : Describe(value)));
        }
        return {LengthValue(value[0], Child(path, 0), size),
                LengthValue(value[1], Child(path, 1), size)};
    }

    Point PointAt(const Json& value, const std::string& path) const {
        const auto [x, y] = Pair(value, path, false);
        return Point{x, y};
    }

    Point PointMember(const Json& object, const std::string& path, const char* key) const {
        return PointAt(Need(object, path, key), Child(path, key));
    }

    static double Angle(const Json& object, const std::string& path, const char* key) {
        const Json& value = Need(object, path, key);
        if (!value.is_number()) WrongType(Child(path, key), "a number", value);
        const double degrees = value.get<double>();
        return degrees == 0 ? 0.0 : degrees;  // one zero: "-0" writes back as "0"
    }

    enum class LayerUse { Pad, Signal };

    static int LayerValue(const Json& value, const std::string& path, LayerUse use) {
        int layer = 0;
        if (value.is_string()) {
            const std::string name = value.get<std::string>();
            const std::optional<int> number = LayerFromText(name);
            if (!number) {
                Fail(path, "unknown layer " + Quoted(name) +
                               " (layers are \"top\", \"bottom\", \"mid1\"..\"mid30\", \"multi\" "
                               "or the numbers 1..32 and 74)");
            }
            layer = *number;
        } else if (value.is_number_integer()) {
            const bool known = !value.is_number_unsigned() || value.get<unsigned long long>() <= 74;
            layer = known ? static_cast<int>(value.get<long long>()) : 0;
            if (!known || !IsDesignLayer(layer)) {
                Fail(path, "unknown layer " + value.dump() +
                               " (layer numbers are 1 top, 2..31 mid, 32 bottom, 74 multi)");
            }
        } else {
            WrongType(path, "a layer name or number", value);
        }
        if (use == LayerUse::Pad && !detail::IsPadLayer(layer)) {
            Fail(path, "a pad sits on \"top\", \"bottom\" or \"multi\", not " +
                           Quoted(LayerToText(layer)));
        }
        if (use == LayerUse::Signal && !detail::IsSignalLayer(layer)) {
            Fail(path,
                 "\"multi\" is not a layer this object can lie on (use \"top\", "
                 "\"bottom\" or \"mid1\"..\"mid30\")");
        }
        return layer;
    }

    static int Layer(const Json& object, const std::string& path, const char* key, LayerUse use) {
        return LayerValue(Need(object, path, key), Child(path, key), use);
    }

    static int LayerOr(const Json& object, const std::string& path, const char* key, int fallback) {
        const Json* value = Find(object, key);
        return value == nullptr ? fallback : LayerValue(*value, Child(path, key), LayerUse::Signal);
    }

    std::vector<DifferentialPairData> ReadPairs(const Json& owner, const std::string& ownerPath) {
        std::vector<DifferentialPairData> pairs;
        const Json& list = ArrayOf(owner, ownerPath, "differentialPairs");
        std::map<std::string, std::size_t> names;
        for (std::size_t i = 0; i < list.size(); ++i) {
            const std::string path = Child(Child(ownerPath, "differentialPairs"), i);
            ExpectObject(list[i], path, {"name", "positive", "negative"});
            DifferentialPairData pair;
            pair.name = Name(list[i], path, "name");
            pair.positive = Name(list[i], path, "positive");
            CheckNet(pair.positive, Child(path, "positive"));
            pair.negative = Name(list[i], path, "negative");
            CheckNet(pair.negative, Child(path, "negative"));
            if (pair.positive == pair.negative) {
                Fail(Child(path, "negative"), "a pair needs two different nets");
            }
            const auto [it, inserted] = names.emplace(Folded(pair.name), i);
            if (!inserted) {
                Fail(Child(path, "name"),
                     "pair " + Quoted(pair.name) + " is already named at " +
                         Child(Child(ownerPath, "differentialPairs"), it->second));
            }
            pairs.push_back(std::move(pair));
        }
        return pairs;
    }

    ProjectData ReadProject(const Json& value, const std::string& path) {
        ExpectObject(
            value, path,
            {"file", "kind", "saved", "compiled", "compiles", "swapping", "differentialPairs"});
        ProjectData project;
        project.file = Name(value, path, "file");
        project.kind = String(value, path, "kind", "PCB");
        project.saved = Bool(value, path, "saved", true);
        project.compiled = Bool(value, path, "compiled", true);
        project.compiles = Bool(value, path, "compiles", true);
        if (const Json* swapping = Find(value, "swapping")) {
            const std::string swappingPath = Child(path, "swapping");
            ExpectObject(*swapping, swappingPath, {"allPins", "whereSchematicAllows"});
            project.swapping.allPins = Bool(*swapping, swappingPath, "allPins", false);
            project.swapping.whereSchematicAllows =
                Bool(*swapping, swappingPath, "whereSchematicAllows", true);
        }
        project.differentialPairs = ReadPairs(value, path);
        return project;
    }

    std::vector<SheetData> ReadSheets(const Json& root, const char* key) {
        std::vector<SheetData> sheets;
        const Json& list = ArrayOf(root, "", key);
        for (std::size_t s = 0; s < list.size(); ++s) {
            const std::string path = Child(Child("", key), s);
            ExpectObject(list[s], path, {"file", "components"});
            SheetData sheet;
            sheet.file = Name(list[s], path, "file");
            const Json& components = ArrayOf(list[s], path, "components");
            for (std::size_t c = 0; c < components.size(); ++c) {
                sheet.components.push_back(
                    ReadSchComponent(components[c], Child(Child(path, "components"), c)));
            }
            sheets.push_back(std::move(sheet));
        }
        return sheets;
    }

    SchComponentData ReadSchComponent(const Json& value, const std::string& path) {
        ExpectObject(value, path,
                     {"uniqueId", "designator", "comment", "footprint", "libraryReference",
                      "device", "part", "partCount", "pins"});
        SchComponentData component;
        component.uniqueId = Name(value, path, "uniqueId");
        component.designator = Name(value, path, "designator");
        component.comment = String(value, path, "comment", "");
        component.footprint = String(value, path, "footprint", "");
        component.libraryReference = String(value, path, "libraryReference", "");
        component.device = String(value, path, "device", "");
        component.part = Integer(value, path, "part", 1, 1, std::numeric_limits<int>::max());
        component.partCount =
            Integer(value, path, "partCount", 1, 1, std::numeric_limits<int>::max());
        if (component.part > component.partCount) {
            Fail(Child(path, "part"), "part " + std::to_string(component.part) +
                                          " is beyond partCount " +
                                          std::to_string(component.partCount));
        }
        const Json& pins = ArrayOf(value, path, "pins");
        for (std::size_t i = 0; i < pins.size(); ++i) {
            const std::string pinPath = Child(Child(path, "pins"), i);
            ExpectObject(pins[i], pinPath,
                         {"designator", "name", "type", "net", "pinSwap", "partSwap", "sequence",
                          "pairSwap"});
            SchPinData pin;
            pin.designator = Name(pins[i], pinPath, "designator");
            pin.name = String(pins[i], pinPath, "name", "");
            pin.type = String(pins[i], pinPath, "type", "Passive");
            pin.net = Net(pins[i], pinPath);
            // Swap attributes are kept exactly as written; the plug-in normalises on reading.
            pin.pinSwap = String(pins[i], pinPath, "pinSwap", "");
            pin.partSwap = String(pins[i], pinPath, "partSwap", "");
            pin.sequence = String(pins[i], pinPath, "sequence", "");
            pin.pairSwap = String(pins[i], pinPath, "pairSwap", "");
            component.pins.push_back(std::move(pin));
        }
        return component;
    }

    PadData ReadPad(const Json& value, const std::string& path) const {
        ExpectObject(value, path, {"name", "at", "layer", "shape", "size", "net"});
        PadData pad;
        pad.name = String(value, path, "name", "");
        pad.at = PointMember(value, path, "at");
        pad.layer = Layer(value, path, "layer", LayerUse::Pad);
        if (const Json* shape = Find(value, "shape")) {
            const std::string text = StringValue(*shape, Child(path, "shape"));
            const std::optional<PadShape> known = detail::PadShapeFromText(text);
            if (!known) {
                Fail(Child(path, "shape"), "unknown pad shape " + Quoted(text) +
                                               " (expected \"round\", \"rect\" or \"rounded\")");
            }
            pad.shape = *known;
        }
        const auto [sizeX, sizeY] = Pair(Need(value, path, "size"), Child(path, "size"), true);
        pad.sizeX = sizeX;
        pad.sizeY = sizeY;
        pad.net = Net(value, path);
        return pad;
    }

    BoardData ReadBoard(const Json& value, const std::string& path) {
        ExpectObject(value, path,
                     {"file", "displayUnit", "nets", "differentialPairs", "components", "pads",
                      "tracks", "arcs", "vias", "fills", "regions"});
        BoardData board;
        board.file = Name(value, path, "file");
        const std::string displayUnit = String(value, path, "displayUnit", "metric");
        if (displayUnit == "imperial") {
            board.displayUnit = DisplayUnit::Imperial;
        } else if (displayUnit != "metric") {
            Fail(Child(path, "displayUnit"), "unknown display unit " + Quoted(displayUnit) +
                                                 " (expected \"metric\" or \"imperial\")");
        }
        board.nets = netOrder_;
        board.differentialPairs = ReadPairs(value, path);

        const Json& components = ArrayOf(value, path, "components");
        std::unordered_map<std::string, std::string> designators;  // folded -> path
        std::unordered_map<std::string, std::string> uniqueIds;
        for (std::size_t c = 0; c < components.size(); ++c) {
            const std::string componentPath = Child(Child(path, "components"), c);
            const Json& entry = components[c];
            ExpectObject(entry, componentPath,
                         {"uniqueId", "designator", "kind", "pinSwap", "partSwap", "pads"});
            BoardComponentData component;
            component.uniqueId = String(entry, componentPath, "uniqueId", "");
            if (!component.uniqueId.empty()) {
                const auto [it, inserted] =
                    uniqueIds.emplace(Folded(component.uniqueId), componentPath);
                if (!inserted) {
                    Fail(Child(componentPath, "uniqueId"), "unique id " +
                                                               Quoted(component.uniqueId) +
                                                               " is already used by " + it->second);
                }
            }
            component.designator = Name(entry, componentPath, "designator");
            const auto [it, inserted] =
                designators.emplace(Folded(component.designator), componentPath);
            if (!inserted) {
                Fail(Child(componentPath, "designator"), "designator " +
                                                             Quoted(component.designator) +
                                                             " is already used by " + it->second);
            }
            component.kind = Integer(entry, componentPath, "kind", 0, 0, detail::kMaxComponentKind);
            component.pinSwap = Bool(entry, componentPath, "pinSwap", false);
            component.partSwap = Bool(entry, componentPath, "partSwap", false);
            const Json& pads = ArrayOf(entry, componentPath, "pads");
            for (std::size_t p = 0; p < pads.size(); ++p) {
                component.pads.push_back(ReadPad(pads[p], Child(Child(componentPath, "pads"), p)));
            }
            board.components.push_back(std::move(component));
        }

        const Json& pads = ArrayOf(value, path, "pads");
        for (std::size_t i = 0; i < pads.size(); ++i) {
            board.pads.push_back(ReadPad(pads[i], Child(Child(path, "pads"), i)));
        }

        const Json& tracks = ArrayOf(value, path, "tracks");
        for (std::size_t i = 0; i < tracks.size(); ++i) {
            const std::string p = Child(Child(path, "tracks"), i);
            ExpectObject(tracks[i], p, {"start", "end", "width", "layer", "net"});
            TrackData track;
            track.start = PointMember(tracks[i], p, "start");
            track.end = PointMember(tracks[i], p, "end");
            track.width = Size(tracks[i], p, "width");
            track.layer = Layer(tracks[i], p, "layer", LayerUse::Signal);
            track.net = Net(tracks[i], p);
            board.tracks.push_back(std::move(track));
        }

        const Json& arcs = ArrayOf(value, path, "arcs");
        for (std::size_t i = 0; i < arcs.size(); ++i) {
            const std::string p = Child(Child(path, "arcs"), i);
            ExpectObject(arcs[i], p,
                         {"center", "radius", "startAngle", "endAngle", "width", "layer", "net"});
            ArcData arc;
            arc.center = PointMember(arcs[i], p, "center");
            arc.radius = Size(arcs[i], p, "radius");
            arc.startAngle = Angle(arcs[i], p, "startAngle");
            arc.endAngle = Angle(arcs[i], p, "endAngle");
            arc.width = Size(arcs[i], p, "width");
            arc.layer = Layer(arcs[i], p, "layer", LayerUse::Signal);
            arc.net = Net(arcs[i], p);
            board.arcs.push_back(std::move(arc));
        }

        const Json& vias = ArrayOf(value, path, "vias");
        for (std::size_t i = 0; i < vias.size(); ++i) {
            const std::string p = Child(Child(path, "vias"), i);
            ExpectObject(vias[i], p, {"at", "diameter", "from", "to", "net"});
            ViaData via;
            via.at = PointMember(vias[i], p, "at");
            via.diameter = Size(vias[i], p, "diameter");
            via.from = LayerOr(vias[i], p, "from", detail::kTopLayer);
            via.to = LayerOr(vias[i], p, "to", detail::kBottomLayer);
            via.net = Net(vias[i], p);
            board.vias.push_back(std::move(via));
        }

        const Json& fills = ArrayOf(value, path, "fills");
        for (std::size_t i = 0; i < fills.size(); ++i) {
            const std::string p = Child(Child(path, "fills"), i);
            ExpectObject(fills[i], p, {"corner1", "corner2", "layer", "net"});
            FillData fill;
            fill.corner1 = PointMember(fills[i], p, "corner1");
            fill.corner2 = PointMember(fills[i], p, "corner2");
            fill.layer = Layer(fills[i], p, "layer", LayerUse::Signal);
            fill.net = Net(fills[i], p);
            board.fills.push_back(std::move(fill));
        }

        const Json& regions = ArrayOf(value, path, "regions");
        for (std::size_t i = 0; i < regions.size(); ++i) {
            const std::string p = Child(Child(path, "regions"), i);
            ExpectObject(regions[i], p, {"outline", "layer", "net"});
            RegionData region;
            const Json& outline = Need(regions[i], p, "outline");
            const std::string outlinePath = Child(p, "outline");
            if (!outline.is_array()) WrongType(outlinePath, "an array of points", outline);
            if (outline.size() < 3) {
                Fail(outlinePath,
                     "an outline needs at least 3 points, found " + std::to_string(outline.size()));
            }
            for (std::size_t k = 0; k < outline.size(); ++k) {
                region.outline.push_back(PointAt(outline[k], Child(outlinePath, k)));
            }
            region.layer = Layer(regions[i], p, "layer", LayerUse::Signal);
            region.net = Net(regions[i], p);
            board.regions.push_back(std::move(region));
        }
        return board;
    }

    // Every document has a file name of its own (the host finds documents by path), and
    // freeDocuments names documents of this design.
    static void CheckDocuments(const DesignData& design) {
        std::unordered_map<std::string, std::string> files;  // folded name -> path
        auto add = [&files](const std::string& file, const std::string& path) {
            const auto [it, inserted] = files.emplace(Folded(file), path);
            if (!inserted) {
                Fail(path, "file name " + Quoted(file) + " is already used by " + it->second);
            }
        };
        if (design.project) add(design.project->file, "/project/file");
        for (std::size_t i = 0; i < design.schematics.size(); ++i) {
            add(design.schematics[i].file, Child(Child("/schematics", i), "file"));
        }
        for (std::size_t i = 0; i < design.libraries.size(); ++i) {
            add(design.libraries[i].file, Child(Child("/libraries", i), "file"));
        }
        if (design.board) add(design.board->file, "/board/file");

        std::set<std::string> listed;
        for (std::size_t i = 0; i < design.freeDocuments.size(); ++i) {
            const std::string& file = design.freeDocuments[i];
            const std::string path = Child("/freeDocuments", i);
            const auto it = files.find(Folded(file));
            if (it == files.end() || it->second == "/project/file") {
                Fail(path, "names no sheet, library or board of this design: " + Quoted(file));
            }
            if (!listed.insert(Folded(file)).second) {
                Fail(path, Quoted(file) + " is listed twice");
            }
        }
    }

    // Entries that share a unique id are the sub-parts of one component: one designator, one
    // part count, each part placed once.
    static void CheckSubParts(const std::vector<SheetData>& sheets, const std::string& base,
                              bool single) {
        struct Seen {
            std::string path;
            const SchComponentData* first;
            std::set<int> parts;
        };
        std::unordered_map<std::string, Seen> seen;
        for (std::size_t s = 0; s < sheets.size(); ++s) {
            const std::string sheetPath = single ? base : Child(base, s);
            for (std::size_t c = 0; c < sheets[s].components.size(); ++c) {
                const SchComponentData& component = sheets[s].components[c];
                const std::string path = Child(Child(sheetPath, "components"), c);
                auto [it, inserted] = seen.emplace(Folded(component.uniqueId),
                                                   Seen{path, &component, {component.part}});
                if (inserted) continue;
                Seen& first = it->second;
                if (Folded(first.first->designator) != Folded(component.designator)) {
                    Fail(Child(path, "designator"), "sub-parts of " + Quoted(component.uniqueId) +
                                                        " must share one designator (" +
                                                        first.path + " has " +
                                                        Quoted(first.first->designator) + ")");
                }
                if (first.first->partCount != component.partCount) {
                    Fail(Child(path, "partCount"),
                         "sub-parts of " + Quoted(component.uniqueId) +
                             " must share one partCount (" + first.path + " has " +
                             std::to_string(first.first->partCount) + ")");
                }
                if (!first.parts.insert(component.part).second) {
                    Fail(Child(path, "part"), "part " + std::to_string(component.part) + " of " +
                                                  Quoted(component.uniqueId) + " is placed twice");
                }
            }
        }
    }

    Unit unit_ = Unit::Millimetre;
    bool hasBoard_ = false;
    std::unordered_set<std::string> nets_;
    std::vector<std::string> netOrder_;
};

}  // namespace

DesignData ParseDesign(const std::string& text, const std::string& fileNameForErrors) {
    try {
        const Json root = detail::ParseStrictJson(text);
        return Reader().Read(root);
    } catch (const detail::JsonReadError& error) {
        throw DesignFileError(fileNameForErrors, error.jsonPath, error.reason);
    } catch (const Failure& failure) {
        throw DesignFileError(fileNameForErrors, failure.path, failure.reason);
    }
}

}  // namespace hostapp::design
