// SerializeDesign: a design in the file's canonical layout. Every key is written, defaults
// included, in one fixed order, so that a design has exactly one text.
#include <charconv>
#include <cmath>
#include <stdexcept>

#include "hostapp/design/DesignFile.h"
#include "hostapp/design/DesignRules.h"
#include "hostapp/design/JsonLayout.h"

namespace hostapp::design {

namespace {

using detail::LayoutNode;

class Writer {
  public:
    explicit Writer(Unit unit) : unit_(unit) {}

    LayoutNode Design(const DesignData& design) {
        LayoutNode root = LayoutNode::Object();
        root.Add("format", Str("tessaro-design"));
        root.Add("version", LayoutNode::Integer(1));
        root.Add("unit", Str(UnitToText(unit_)));
        if (design.project) root.Add("project", Project(*design.project));
        root.Add("schematics", Sheets(design.schematics));
        root.Add("libraries", Sheets(design.libraries));
        LayoutNode freeDocuments = LayoutNode::Array();
        for (const std::string& file : design.freeDocuments) freeDocuments.Add(Str(file));
        root.Add("freeDocuments", std::move(freeDocuments));
        if (design.board) root.Add("board", Board(*design.board));
        root.Add("devices", Devices(design.devicesJson));
        return root;
    }

  private:
    static LayoutNode Str(const std::string& text) { return LayoutNode::String(text); }

    LayoutNode Length(std::int32_t value) const {
        return LayoutNode::Raw(LengthToText(value, unit_));
    }

    LayoutNode At(const Point& point) const {
        LayoutNode node = LayoutNode::Array();
        node.Add(Length(point.x)).Add(Length(point.y));
        return node;
    }

    static LayoutNode Angle(double degrees, const std::string& path) {
        if (!std::isfinite(degrees)) throw std::invalid_argument(path + ": angle is not finite");
        if (degrees == 0) degrees = 0;  // one text for zero: "-0" would not read back signed
        char buffer[64];
        const auto written = std::to_chars(buffer, buffer + sizeof buffer, degrees);
        return LayoutNode::Raw(std::string(buffer, written.ptr));
    }

    static LayoutNode Layer(int layer, bool valid, const std::string& path) {
        if (!valid) {
            throw std::invalid_argument(path + ": layer " + std::to_string(layer) +
                                        " cannot be written here");
        }
        return Str(LayerToText(layer));
    }

    static LayoutNode Pairs(const std::vector<DifferentialPairData>& pairs) {
        LayoutNode list = LayoutNode::Array();
        for (const DifferentialPairData& pair : pairs) {
            LayoutNode node = LayoutNode::Object();
            node.Add("name", Str(pair.name));
            node.Add("positive", Str(pair.positive));
            node.Add("negative", Str(pair.negative));
            list.Add(std::move(node));
        }
        return list;
    }

    static LayoutNode Project(const ProjectData& project) {
        LayoutNode node = LayoutNode::Object();
        node.Add("file", Str(project.file));
        node.Add("kind", Str(project.kind));
        node.Add("saved", LayoutNode::Bool(project.saved));
        node.Add("compiled", LayoutNode::Bool(project.compiled));
        node.Add("compiles", LayoutNode::Bool(project.compiles));
        LayoutNode swapping = LayoutNode::Object();
        swapping.Add("allPins", LayoutNode::Bool(project.swapping.allPins));
        swapping.Add("whereSchematicAllows",
                     LayoutNode::Bool(project.swapping.whereSchematicAllows));
        node.Add("swapping", std::move(swapping));
        node.Add("differentialPairs", Pairs(project.differentialPairs));
        return node;
    }

    static LayoutNode Sheets(const std::vector<SheetData>& sheets) {
        LayoutNode list = LayoutNode::Array();
        for (const SheetData& sheet : sheets) {
            LayoutNode node = LayoutNode::Object();
            node.Add("file", Str(sheet.file));
            LayoutNode components = LayoutNode::Array();
            for (const SchComponentData& component : sheet.components) {
                components.Add(SchComponent(component));
            }
            node.Add("components", std::move(components));
            list.Add(std::move(node));
        }
        return list;
    }

    static LayoutNode SchComponent(const SchComponentData& component) {
        LayoutNode node = LayoutNode::Object();
        node.Add("uniqueId", Str(component.uniqueId));
        node.Add("designator", Str(component.designator));
        node.Add("comment", Str(component.comment));
        node.Add("footprint", Str(component.footprint));
        node.Add("libraryReference", Str(component.libraryReference));
        node.Add("device", Str(component.device));
        node.Add("part", LayoutNode::Integer(component.part));
        node.Add("partCount", LayoutNode::Integer(component.partCount));
        LayoutNode pins = LayoutNode::Array();
        for (const SchPinData& pin : component.pins) {
            LayoutNode p = LayoutNode::Object();
            p.Add("designator", Str(pin.designator));
            p.Add("name", Str(pin.name));
            p.Add("type", Str(pin.type));
            p.Add("net", Str(pin.net));
            p.Add("pinSwap", Str(pin.pinSwap));
            p.Add("partSwap", Str(pin.partSwap));
            p.Add("sequence", Str(pin.sequence));
            p.Add("pairSwap", Str(pin.pairSwap));
            pins.Add(std::move(p));
        }
        node.Add("pins", std::move(pins));
        return node;
    }

    LayoutNode Pad(const PadData& pad, const std::string& path) const {
        LayoutNode node = LayoutNode::Object();
        node.Add("name", Str(pad.name));
        node.Add("at", At(pad.at));
        node.Add("layer", Layer(pad.layer, detail::IsPadLayer(pad.layer), path + "/layer"));
        node.Add("shape", Str(detail::PadShapeToText(pad.shape)));
        LayoutNode size = LayoutNode::Array();
        size.Add(Length(pad.sizeX)).Add(Length(pad.sizeY));
        node.Add("size", std::move(size));
        node.Add("net", Str(pad.net));
        return node;
    }

    LayoutNode Board(const BoardData& board) const {
        LayoutNode node = LayoutNode::Object();
        node.Add("file", Str(board.file));
        node.Add("displayUnit", Str(detail::DisplayUnitToText(board.displayUnit)));
        LayoutNode nets = LayoutNode::Array();
        for (const std::string& net : board.nets) nets.Add(Str(net));
        node.Add("nets", std::move(nets));
        node.Add("differentialPairs", Pairs(board.differentialPairs));

        LayoutNode components = LayoutNode::Array();
        for (std::size_t c = 0; c < board.components.size(); ++c) {
            const BoardComponentData& component = board.components[c];
            const std::string path = "/board/components/" + std::to_string(c);
            LayoutNode entry = LayoutNode::Object();
            entry.Add("uniqueId", Str(component.uniqueId));
            entry.Add("designator", Str(component.designator));
            entry.Add("kind", LayoutNode::Integer(component.kind));
            entry.Add("pinSwap", LayoutNode::Bool(component.pinSwap));
            entry.Add("partSwap", LayoutNode::Bool(component.partSwap));
            LayoutNode pads = LayoutNode::Array();
            for (std::size_t p = 0; p < component.pads.size(); ++p) {
                pads.Add(Pad(component.pads[p], path + "/pads/" + std::to_string(p)));
            }
            entry.Add("pads", std::move(pads));
            components.Add(std::move(entry));
        }
        node.Add("components", std::move(components));

        LayoutNode pads = LayoutNode::Array();
        for (std::size_t p = 0; p < board.pads.size(); ++p) {
            pads.Add(Pad(board.pads[p], "/board/pads/" + std::to_string(p)));
        }
        node.Add("pads", std::move(pads));

        LayoutNode tracks = LayoutNode::Array();
        for (std::size_t i = 0; i < board.tracks.size(); ++i) {
            const TrackData& track = board.tracks[i];
            LayoutNode t = LayoutNode::Object();
            t.Add("start", At(track.start));
            t.Add("end", At(track.end));
            t.Add("width", Length(track.width));
            t.Add("layer", Layer(track.layer, detail::IsSignalLayer(track.layer),
                                 "/board/tracks/" + std::to_string(i) + "/layer"));
            t.Add("net", Str(track.net));
            tracks.Add(std::move(t));
        }
        node.Add("tracks", std::move(tracks));

        LayoutNode arcs = LayoutNode::Array();
        for (std::size_t i = 0; i < board.arcs.size(); ++i) {
            const ArcData& arc = board.arcs[i];
            LayoutNode a = LayoutNode::Object();
            a.Add("center", At(arc.center));
            a.Add("radius", Length(arc.radius));
            const std::string path = "/board/arcs/" + std::to_string(i);
            a.Add("startAngle", Angle(arc.startAngle, path + "/startAngle"));
            a.Add("endAngle", Angle(arc.endAngle, path + "/endAngle"));
            a.Add("width", Length(arc.width));
            a.Add("layer", Layer(arc.layer, detail::IsSignalLayer(arc.layer), path + "/layer"));
            a.Add("net", Str(arc.net));
            arcs.Add(std::move(a));
        }
        node.Add("arcs", std::move(arcs));

        LayoutNode vias = LayoutNode::Array();
        for (std::size_t i = 0; i < board.vias.size(); ++i) {
            const ViaData& via = board.vias[i];
            const std::string path = "/board/vias/" + std::to_string(i);
            LayoutNode v = LayoutNode::Object();
            v.Add("at", At(via.at));
            v.Add("diameter", Length(via.diameter));
            v.Add("from", Layer(via.from, detail::IsSignalLayer(via.from), path + "/from"));
            v.Add("to", Layer(via.to, detail::IsSignalLayer(via.to), path + "/to"));
            v.Add("net", Str(via.net));
            vias.Add(std::move(v));
        }
        node.Add("vias", std::move(vias));

        LayoutNode fills = LayoutNode::Array();
        for (std::size_t i = 0; i < board.fills.size(); ++i) {
            const FillData& fill = board.fills[i];
            LayoutNode f = LayoutNode::Object();
            f.Add("corner1", At(fill.corner1));
            f.Add("corner2", At(fill.corner2));
            f.Add("layer", Layer(fill.layer, detail::IsSignalLayer(fill.layer),
                                 "/board/fills/" + std::to_string(i) + "/layer"));
            f.Add("net", Str(fill.net));
            fills.Add(std::move(f));
        }
        node.Add("fills", std::move(fills));

        LayoutNode regions = LayoutNode::Array();
        for (std::size_t i = 0; i < board.regions.size(); ++i) {
            const RegionData& region = board.regions[i];
            LayoutNode r = LayoutNode::Object();
            LayoutNode outline = LayoutNode::Array();
            for (const Point& point : region.outline) outline.Add(At(point));
            r.Add("outline", std::move(outline));
            r.Add("layer", Layer(region.layer, detail::IsSignalLayer(region.layer),
                                 "/board/regions/" + std::to_string(i) + "/layer"));
            r.Add("net", Str(region.net));
            regions.Add(std::move(r));
        }
        node.Add("regions", std::move(regions));
        return node;
    }

    static LayoutNode Devices(const std::string& devicesJson) {
        if (devicesJson.empty()) return LayoutNode::Array();
        detail::Json devices;
        try {
            devices = detail::Json::parse(devicesJson);
        } catch (const nlohmann::json::exception& error) {
            throw std::invalid_argument(std::string("devicesJson is not JSON: ") + error.what());
        }
        if (!devices.is_array()) throw std::invalid_argument("devicesJson is not a JSON array");
        return LayoutNode::FromJson(devices);
    }

    Unit unit_;
};

}  // namespace

std::string SerializeDesign(const DesignData& design) {
    return Writer(design.unit).Design(design).Write();
}

}  // namespace hostapp::design
