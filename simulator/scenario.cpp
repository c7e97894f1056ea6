#include "simulator/scenario.h"

#include <fstream>
#include <iterator>
#include <limits>
#include <map>
#include <set>
#include <sstream>

#include <nlohmann/json.hpp>

#include "app/resources/resource.h"

using nlohmann::json;

namespace {

// Reads one JSON object, field by field, and reports the first problem with the path of the
// field that has it.
class Reader {
public:
    Reader(const json& node, std::string path, const std::string& source)
        : m_node(node), m_path(std::move(path)), m_source(source)
    {
        if (!m_node.is_object())
            Fail(m_path.empty() ? "the scenario" : m_path, "expected an object");
    }

    // Every field must have been read: a misspelt one is an error, not silently ignored.
    void Done() const
    {
        for (const auto& [key, value] : m_node.items())
            if (!m_read.contains(key)) Fail(Field(key), "unknown field");
    }

    bool Has(const std::string& key) const { return m_node.contains(key); }

    const json* Take(const std::string& key)
    {
        m_read.insert(key);
        const auto it = m_node.find(key);
        return it == m_node.end() ? nullptr : &*it;
    }

    void Bool(const std::string& key, bool& out)
    {
        if (const json* v = Take(key)) {
            if (!v->is_boolean()) Fail(Field(key), "expected true or false");
            out = v->get<bool>();
        }
    }

    template <class Number>
    void Unsigned(const std::string& key, Number& out)
    {
        if (const json* v = Take(key)) {
            if (!v->is_number_unsigned() ||
                v->get<std::uint64_t>() > std::numeric_limits<Number>::max())
                Fail(Field(key), "expected a whole number from 0 to " +
                                     std::to_string(std::numeric_limits<Number>::max()));
            out = v->get<Number>();
        }
    }

    void Int(const std::string& key, int& out)
    {
        if (const json* v = Take(key)) {
            if (!v->is_number_integer()) Fail(Field(key), "expected a whole number");
            out = v->get<int>();
        }
    }

    void Text(const std::string& key, std::u16string& out)
    {
        if (const json* v = Take(key)) out = sim::Utf16(TextOf(*v, Field(key)));
    }

    std::string TextOf(const json& v, const std::string& field) const
    {
        if (!v.is_string()) Fail(field, "expected a text");
        return v.get<std::string>();
    }

    std::string Field(const std::string& key) const
    {
        return m_path.empty() ? key : m_path + "." + key;
    }

    [[noreturn]] void Fail(const std::string& field, const std::string& message) const
    {
        throw ScenarioError(m_source + ": " + field + ": " + message);
    }

    const std::string& Source() const { return m_source; }

private:
    const json& m_node;
    std::string m_path;
    const std::string& m_source;
    std::set<std::string> m_read;
};

const std::map<std::string, std::uint16_t>& LanguageTags()
{
    static const std::map<std::string, std::uint16_t> tags{
        {"en-US", 0x0409}, {"en-GB", 0x0809}, {"fr-FR", 0x040C}, {"fr-BE", 0x080C},
        {"fr-CA", 0x0C0C}, {"fr-CH", 0x100C}, {"de-DE", 0x0407}, {"es-ES", 0x0C0A},
        {"it-IT", 0x0410}, {"ja-JP", 0x0411}, {"zh-CN", 0x0804}, {"zh-TW", 0x0404},
        {"zh-HK", 0x0C04}, {"zh-SG", 0x1004},
    };
    return tags;
}

std::uint16_t ParseLanguage(const std::string& text, Reader& reader, const std::string& field)
{
    if (const auto it = LanguageTags().find(text); it != LanguageTags().end()) return it->second;
    if (text.size() > 2 && text.size() <= 6 && text.starts_with("0x")) {
        std::size_t used = 0;
        try {
            const unsigned long value = std::stoul(text.substr(2), &used, 16);
            if (used == text.size() - 2 && value <= 0xFFFF)
                return static_cast<std::uint16_t>(value);
        } catch (const std::exception&) {
        }
    }
    std::string known;
    for (const auto& [tag, id] : LanguageTags()) known += (known.empty() ? "" : ", ") + tag;
    reader.Fail(field, "expected a language tag (" + known + ") or a LANGID such as \"0x040c\"");
}

void ParseVersion(const json* v, sim::VersionRecord& record, Reader& reader)
{
    if (!v) return;
    const std::string field = reader.Field("version");
    if (v->is_null()) {
        record.present = false;
        return;
    }
    const std::string text = reader.TextOf(*v, field);
    if (text == "malformed") {
        record.malformed = true;
        return;
    }
    std::istringstream in(text);
    std::string part;
    std::size_t i = 0;
    while (std::getline(in, part, '.')) {
        if (i == 4 || part.empty() || part.size() > 5 ||
            part.find_first_not_of("0123456789") != std::string::npos || std::stoul(part) > 0xFFFF)
            reader.Fail(field,
                        "expected four numbers from 0 to 65535 such as \"0.1.3.6\", null, or "
                        "\"malformed\"");
        record.productVersion[i++] = static_cast<std::uint16_t>(std::stoul(part));
    }
    if (i != 4) reader.Fail(field, "expected four numbers such as \"0.1.3.6\"");
}

void ParseDevice(Reader& reader, sim::UsbDeviceSetup& device)
{
    reader.Text("vendor", device.vendor);
    reader.Text("product", device.product);
    reader.Text("instance", device.instance);
    reader.Bool("upperCaseIds", device.upperCaseIds);
    reader.Bool("plugged", device.plugged);
    reader.Bool("on", device.on);
    reader.Bool("heldByOtherProgram", device.heldByOtherProgram);
    if (reader.Has("detailError")) {
        std::uint32_t code = 0;
        reader.Unsigned("detailError", code);
        device.detailError = code;
    }
    if (reader.Has("devicePath")) {
        std::u16string path;
        reader.Text("devicePath", path);
        device.devicePath = path;
    }
    reader.Done();
}

const std::map<std::string, sim::ReplyFault::Kind>& ReplyFaultKinds()
{
    using Kind = sim::ReplyFault::Kind;
    static const std::map<std::string, Kind> kinds{{"semicolonFirst", Kind::SemicolonFirst},
                                                   {"tagAfterSemicolon", Kind::TagAfterSemicolon},
                                                   {"zeroBeforeTag", Kind::ZeroBeforeTag},
                                                   {"lowerCaseTag", Kind::LowerCaseTag},
                                                   {"noSemicolon", Kind::NoSemicolon},
                                                   {"short", Kind::Short},
                                                   {"late", Kind::Late},
                                                   {"none", Kind::None}};
    return kinds;
}

void ParseBehaviour(Reader& reader, sim::MachineBehaviour& behaviour, const std::string& source)
{
    if (const json* v = reader.Take("identity")) {
        if (!v->is_array() || v->size() != 7)
            reader.Fail(reader.Field("identity"), "expected seven values from 0 to 255");
        for (std::size_t i = 0; i < 7; ++i) {
            const json& value = (*v)[i];
            if (!value.is_number_unsigned() || value.get<unsigned>() > 255)
                reader.Fail(reader.Field("identity"), "expected seven values from 0 to 255");
            behaviour.identity[i] = static_cast<std::uint8_t>(value.get<unsigned>());
        }
    }
    reader.Unsigned("status", behaviour.status);
    if (const json* v = reader.Take("replyFaults")) {
        if (!v->is_array()) reader.Fail(reader.Field("replyFaults"), "expected a list of faults");
        for (std::size_t i = 0; i < v->size(); ++i) {
            Reader fault((*v)[i], reader.Field("replyFaults") + "[" + std::to_string(i) + "]",
                         source);
            sim::ReplyFault parsed;
            const json* kind = fault.Take("kind");
            const std::string name = kind ? fault.TextOf(*kind, fault.Field("kind")) : "";
            const auto it = ReplyFaultKinds().find(name);
            if (it == ReplyFaultKinds().end()) {
                std::string known;
                for (const auto& [k, unused] : ReplyFaultKinds())
                    known += (known.empty() ? "" : ", ") + k;
                fault.Fail(fault.Field("kind"), "expected one of " + known);
            }
            parsed.kind = it->second;
            fault.Unsigned("length", parsed.length);
            fault.Unsigned("delayMs", parsed.delayMs);
            fault.Done();
            behaviour.replyFaults.push_back(parsed);
        }
    }
    reader.Int("failFirmwareWrite", behaviour.failFirmwareWrite);
    reader.Unsigned("failFirmwareWriteError", behaviour.failFirmwareWriteError);
    reader.Int("zeroByteWrites", behaviour.zeroByteWrites);
    if (const json* v = reader.Take("emptyWrites")) {
        if (!v->is_array())
            reader.Fail(reader.Field("emptyWrites"), "expected a list of write numbers");
        for (const json& number : *v) {
            if (!number.is_number_integer())
                reader.Fail(reader.Field("emptyWrites"), "expected a list of write numbers");
            behaviour.emptyWrites.push_back(number.get<int>());
        }
    }
    reader.Unsigned("takeAtMost", behaviour.takeAtMost);
    reader.Unsigned("overReportBytes", behaviour.overReportBytes);
    reader.Int("unplugAtFirmwareWrite", behaviour.unplugAtFirmwareWrite);
    reader.Unsigned("restartDelayMs", behaviour.restartDelayMs);
    reader.Unsigned("restartMs", behaviour.restartMs);
}

void ParseFiles(const json& node, Reader& world, sim::World& out, const std::string& source)
{
    if (!node.is_array()) world.Fail(world.Field("files"), "expected a list of files");
    for (std::size_t i = 0; i < node.size(); ++i) {
        Reader reader(node[i], world.Field("files") + "[" + std::to_string(i) + "]", source);
        sim::FileSetup file;
        if (!reader.Has("path")) reader.Fail(reader.Field("path"), "missing: the file's full path");
        reader.Text("path", file.path);
        if (const json* kitFile = reader.Take("kitFile")) {
            const std::string name = reader.TextOf(*kitFile, reader.Field("kitFile"));
            if (name.find_first_of("/\\") != std::string::npos)
                reader.Fail(reader.Field("kitFile"), "expected a file name of the kit folder");
            std::ifstream in(std::string(QX_KIT_SOURCE_DIR) + "/" + name, std::ios::binary);
            if (!in) reader.Fail(reader.Field("kitFile"), "no such file in the kit: " + name);
            const std::string bytes((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
            for (const char c : bytes) file.bytes.push_back(std::byte(c));
        }
        if (reader.Has("size")) {
            std::uint32_t size = 0;
            reader.Unsigned("size", size);
            file.bytes.resize(size);
            for (std::uint32_t at = 0; at < size; ++at)
                file.bytes[at] = std::byte(at * 7 + at / 251);
        }
        if (reader.Has("reportedSize")) {
            std::uint64_t size = 0;
            reader.Unsigned("reportedSize", size);
            file.reportedSize = size;
        }
        reader.Bool("locked", file.locked);
        reader.Done();
        out.files.push_back(std::move(file));
    }
}

void ParseWorld(const json& node, sim::World& world, const std::string& source)
{
    Reader reader(node, "world", source);
    if (const json* v = reader.Take("language"))
        world.userLangId = ParseLanguage(reader.TextOf(*v, reader.Field("language")), reader,
                                         reader.Field("language"));
    reader.Text("arguments", world.arguments);
    if (reader.Has("commandLine")) {
        std::u16string line;
        reader.Text("commandLine", line);
        world.commandLine = line;
    }
    reader.Text("installerPath", world.installerPath);
    reader.Text("startDirectory", world.startDirectory);
    ParseVersion(reader.Take("version"), world.version, reader);
    reader.Unsigned("tickCountStart", world.tickCountStart);
    reader.Unsigned("boxReadingMs", world.boxReadingMs);
    reader.Unsigned("limitMs", world.limitMs);
    reader.Bool("machineFirst", world.machineFirst);
    if (const json* v = reader.Take("missingResources")) {
        if (!v->is_array())
            reader.Fail(reader.Field("missingResources"), "expected a list of resource ids");
        for (const json& id : *v) {
            if (!id.is_number_integer())
                reader.Fail(reader.Field("missingResources"), "expected resource ids");
            world.missingResources.insert(id.get<int>());
        }
    }
    if (const json* v = reader.Take("machine"); v && !v->is_null()) {
        Reader machine(*v, reader.Field("machine"), source);
        world.machine.emplace();
        ParseBehaviour(machine, world.machine->behaviour, source);
        ParseDevice(machine, *world.machine);
    }
    if (const json* v = reader.Take("files")) ParseFiles(*v, reader, world, source);
    if (const json* v = reader.Take("ports")) {
        if (!v->is_array()) reader.Fail(reader.Field("ports"), "expected a list of port names");
        world.ports.clear();
        for (const json& port : *v)
            world.ports.push_back(sim::Utf16(reader.TextOf(port, reader.Field("ports"))));
    }
    reader.Text("systemDirectory", world.systemDirectory);
    reader.Unsigned("printUiInstallMs", world.printUiInstallMs);
    reader.Unsigned("printUiIdleMs", world.printUiIdleMs);
    reader.Unsigned("memoryLimitBytes", world.memoryLimitBytes);
    if (const json* v = reader.Take("otherPrinters")) {
        if (!v->is_array())
            reader.Fail(reader.Field("otherPrinters"), "expected a list of devices");
        for (std::size_t i = 0; i < v->size(); ++i) {
            Reader printer((*v)[i], reader.Field("otherPrinters") + "[" + std::to_string(i) + "]",
                           source);
            ParseDevice(printer, world.otherPrinters.emplace_back());
        }
    }
    reader.Done();
}

const std::map<std::string, int>& ControlNames()
{
    static const std::map<std::string, int> names{
        {"Next", IDC_NEXT}, {"Cancel", 2}, {"USB", IDC_PORT_USB}, {"Other", IDC_PORT_OTHER}};
    return names;
}

const std::set<std::string>& Actions()
{
    static const std::set<std::string> actions{"press",    "close",    "enter", "answer",
                                               "minimise", "restore",  "plug",  "unplug",
                                               "switchOn", "switchOff"};
    return actions;
}

void ParseTimeline(const json& node, Scenario& scenario, const std::string& source)
{
    if (!node.is_array()) throw ScenarioError(source + ": timeline: expected a list of actions");
    for (std::size_t i = 0; i < node.size(); ++i) {
        Reader reader(node[i], "timeline[" + std::to_string(i) + "]", source);
        TimelineEntry entry;
        if (!reader.Has("at")) reader.Fail(reader.Field("at"), "missing: the virtual time in ms");
        reader.Unsigned("at", entry.atMs);
        const json* action = reader.Take("do");
        if (!action) reader.Fail(reader.Field("do"), "missing: what happens");
        entry.action = reader.TextOf(*action, reader.Field("do"));
        if (!Actions().contains(entry.action)) {
            std::string known;
            for (const std::string& a : Actions()) known += (known.empty() ? "" : ", ") + a;
            reader.Fail(reader.Field("do"),
                        "unknown action \"" + entry.action + "\"; expected one of " + known);
        }
        if (entry.action == "press") {
            const json* control = reader.Take("control");
            if (!control)
                reader.Fail(reader.Field("control"), "missing: Next, Cancel, USB or Other");
            const std::string name = reader.TextOf(*control, reader.Field("control"));
            const auto it = ControlNames().find(name);
            if (it == ControlNames().end())
                reader.Fail(reader.Field("control"), "unknown control \"" + name +
                                                         "\"; expected Next, Cancel, USB or Other");
            entry.control = it->second;
        }
        reader.Done();
        scenario.timeline.push_back(entry);
    }
}

void ParseFaults(const json& node, Scenario& scenario, const std::string& source)
{
    if (!node.is_array()) throw ScenarioError(source + ": faults: expected a list of faults");
    for (std::size_t i = 0; i < node.size(); ++i) {
        Reader reader(node[i], "faults[" + std::to_string(i) + "]", source);
        FaultSetup fault;
        const json* call = reader.Take("call");
        if (!call) reader.Fail(reader.Field("call"), "missing: the name of the failing call");
        fault.call = reader.TextOf(*call, reader.Field("call"));
        if (!reader.Has("error"))
            reader.Fail(reader.Field("error"), "missing: the last-error code");
        reader.Unsigned("error", fault.error);
        reader.Int("times", fault.times);
        reader.Int("skip", fault.skip);
        reader.Done();
        scenario.faults.push_back(fault);
    }
}

}  // namespace

Scenario ParseScenario(const std::string& text, const std::string& source)
{
    json document;
    try {
        document = json::parse(text);
    } catch (const json::parse_error& error) {
        throw ScenarioError(source + ": not valid JSON: " + error.what());
    }
    Scenario scenario;
    Reader reader(document, "", source);
    if (const json* world = reader.Take("world")) ParseWorld(*world, scenario.world, source);
    if (const json* faults = reader.Take("faults")) ParseFaults(*faults, scenario, source);
    if (const json* timeline = reader.Take("timeline")) ParseTimeline(*timeline, scenario, source);
    reader.Take("description");
    reader.Done();
    return scenario;
}

Scenario LoadScenarioFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) throw ScenarioError(path + ": cannot be read");
    std::ostringstream text;
    text << in.rdbuf();
    return ParseScenario(text.str(), path);
}

void ApplyScenario(const Scenario& scenario, sim::SimWindows& windows)
{
    using Kind = sim::DialogInput::Kind;
    using sim::MachineAction;
    for (const FaultSetup& fault : scenario.faults)
        windows.context.faults.Fail(fault.call, fault.error, fault.times, fault.skip);
    static const std::map<std::string, Kind> dialogInputs{
        {"press", Kind::Press},   {"close", Kind::Close},       {"enter", Kind::Enter},
        {"answer", Kind::Answer}, {"minimise", Kind::Minimise}, {"restore", Kind::Restore}};
    static const std::map<std::string, MachineAction> machineActions{
        {"plug", MachineAction::Plug},
        {"unplug", MachineAction::Unplug},
        {"switchOn", MachineAction::SwitchOn},
        {"switchOff", MachineAction::SwitchOff}};
    for (const TimelineEntry& entry : scenario.timeline) {
        if (const auto it = dialogInputs.find(entry.action); it != dialogInputs.end())
            windows.At(entry.atMs, it->second, entry.control);
        else
            windows.At(entry.atMs, machineActions.at(entry.action));
    }
}
