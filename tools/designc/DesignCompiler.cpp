#include "DesignCompiler.h"

#include <runtime/image/TemplateLoader.h>
#include <runtime/image/UnitRecord.h>
#include <runtime/windows/EventRequest.h>

#include <units/WindowUnit.h>

#include <platform/Encoding.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <map>
#include <set>
#include <unordered_map>

namespace designc {

namespace {

using runtime::UnitRecord;

// Names are GBK inside; messages are read on a UTF-8 terminal.
std::string shown(const std::string& gbk) {
    return "'" + platform::gbk_to_utf8(gbk) + "'";
}

std::string hex(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}

void append_word(std::vector<std::uint8_t>& bytes, std::uint32_t word) {
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(static_cast<std::uint8_t>(word >> shift));
}

void append_double(std::vector<std::uint8_t>& bytes, double value) {
    auto bits = std::bit_cast<std::uint64_t>(value);
    append_word(bytes, static_cast<std::uint32_t>(bits));
    append_word(bytes, static_cast<std::uint32_t>(bits >> 32));
}

constexpr std::size_t NoUnit = static_cast<std::size_t>(-1);

// For each of count units, whether the chain that next() follows from it
// (next(i) is the index of the unit that i leads to, or NoUnit at the end)
// never ends because it comes back to a unit it has passed. Each unit is
// settled once, so the cost is linear in the units however deep the chains.
template <typename Next> std::vector<bool> chains_in_loops(std::size_t count, Next next) {
    enum class State : char { Unseen, OnWalk, Ends, Loops };
    std::vector<State> state(count, State::Unseen);
    std::vector<std::size_t> walk;
    for (std::size_t start = 0; start < count; ++start) {
        std::size_t at = start;
        while (at != NoUnit && state[at] == State::Unseen) {
            state[at] = State::OnWalk;
            walk.push_back(at);
            at = next(at);
        }
        // Earlier walks are all settled, so a unit still on a walk is on this one.
        State outcome = at == NoUnit || state[at] == State::Ends ? State::Ends : State::Loops;
        for (auto passed : walk)
            state[passed] = outcome;
        walk.clear();
    }
    std::vector<bool> loops(count);
    for (std::size_t i = 0; i < count; ++i)
        loops[i] = state[i] == State::Loops;
    return loops;
}

// The units of one window by id and by name; the first of each wins.
struct UnitIndex {
    const DesignUnit* first = nullptr;
    std::unordered_map<std::uint32_t, const DesignUnit*> by_id;
    std::unordered_map<std::string, const DesignUnit*> by_name;

    const DesignUnit* find(const UnitReference& reference) const {
        if (reference.id) {
            auto at = by_id.find(*reference.id);
            return at == by_id.end() ? nullptr : at->second;
        }
        auto at = by_name.find(reference.name);
        return at == by_name.end() ? nullptr : at->second;
    }

    std::size_t position(std::uint32_t id) const {
        auto at = by_id.find(id);
        return at == by_id.end() ? NoUnit : static_cast<std::size_t>(at->second - first);
    }
};

class Compiler {
  public:
    Compiler(const Design& design, const DesignTypes& types) : m_design(design), m_types(types) {}

    CompileResult run() {
        m_out.name_space = m_design.name_space;
        if (m_design.windows.empty())
            error(1, "the design has no window");
        std::set<std::uint32_t> window_ids;
        for (auto& window : m_design.windows) {
            if (!window_ids.insert(window.id).second)
                error(window.line, "window " + hex(window.id) + " appears twice");
            compile_window(window);
        }
        if (!m_design.windows.empty())
            m_out.start_window_id = m_design.windows.front().id;
        compile_constants();
        compile_aliases();
        if (m_errors.empty())
            m_out.template_data = runtime::write_window_templates(m_out.windows);
        std::stable_sort(m_errors.begin(), m_errors.end(),
                         [](auto& a, auto& b) { return a.line < b.line; });
        return {std::move(m_out), std::move(m_errors)};
    }

  private:
    void error(int line, std::string message) { m_errors.push_back({line, std::move(message)}); }

    void compile_window(const DesignWindow& window) {
        runtime::WindowTemplate compiled;
        compiled.window_id = window.id;
        compiled.w1 = TemplateWord1;
        compiled.w2 = TemplateWord2;
        if (window.units.empty())
            error(window.line,
                  "window " + hex(window.id) + " has no unit; its first unit is the window itself");

        UnitIndex index;
        index.first = window.units.data();
        for (std::size_t i = 0; i < window.units.size(); ++i) {
            const DesignUnit& unit = window.units[i];
            if (!runtime::is_valid_unit_id(unit.id))
                error(unit.line,
                      "unit id " + hex(unit.id) +
                          " is not valid (its low 24 bits and bits 24 to 27 are not zero)");
            if (auto [at, fresh] = index.by_id.emplace(unit.id, &unit); !fresh)
                error(unit.line, "duplicate unit id " + hex(unit.id) + " (first at line " +
                                     std::to_string(at->second->line) + ")");
            if (auto [at, fresh] = index.by_name.emplace(unit.name, &unit); !fresh)
                error(unit.line, "duplicate unit name " + shown(unit.name) + " (first at line " +
                                     std::to_string(at->second->line) + ")");
        }
        for (std::size_t i = 0; i < window.units.size(); ++i) {
            compiled.units.push_back(compile_unit(window.units[i], i == 0, index));
            compile_access(window, window.units[i], index);
        }
        if (!compiled.units.empty()) {
            link_parents(window, compiled, index);
            check_redirect_loops(window, compiled, index);
        }
        m_out.windows.push_back(std::move(compiled));
    }

    void compile_access(const DesignWindow& window, const DesignUnit& unit,
                        const UnitIndex& index) {
        if (unit.access_name.empty() && !unit.label_for)
            return;
        CompiledAccessName entry{window.id, unit.id, unit.access_name, 0};
        if (unit.label_for) {
            const DesignUnit* target = index.find(*unit.label_for);
            if (!target)
                error(unit.label_for->line, "label-for unit " + written(*unit.label_for) +
                                                " is not a unit of this window");
            else if (target == &unit)
                error(unit.label_for->line, "a unit is not its own label");
            else
                entry.label_for = target->id;
        }
        m_out.access_names.push_back(std::move(entry));
    }

    static std::string written(const UnitReference& reference) {
        return reference.id ? hex(*reference.id) : shown(reference.name);
    }

    UnitRecord compile_unit(const DesignUnit& unit, bool is_window_unit, const UnitIndex& index) {
        UnitRecord record;
        record.id = unit.id;
        record.name = unit.name;
        record.tag = unit.tag;
        record.flags = unit.flags;
        record.pointer_block = {0, 0, 0, 0}; // the default mouse pointer

        auto type = m_types.resolve(unit.type_name);
        if (!type) {
            error(unit.line, "unknown unit type '" + unit.type_name +
                                 "' (a type name, or library:type such as 1:5)");
        } else {
            record.type = *type;
            bool window_type = *type == units::WindowUnit::TypeCode;
            if (is_window_unit && !window_type)
                error(unit.line, "the first unit of a window is the window itself, of type window");
            if (!is_window_unit && window_type)
                error(unit.line, "only the first unit of a window is of type window");
        }

        if (unit.rect) {
            record.left = (*unit.rect)[0];
            record.top = (*unit.rect)[1];
            record.width = (*unit.rect)[2];
            record.height = (*unit.rect)[3];
        } else {
            error(unit.line,
                  "bad rectangle: unit " + shown(unit.name) + " has no rect LEFT TOP WIDTH HEIGHT");
        }

        if (unit.parent && is_window_unit)
            error(unit.parent->line, "the window unit has no parent");
        if (unit.redirect) {
            const DesignUnit* target = index.find(*unit.redirect);
            if (!target)
                error(unit.redirect->line,
                      "redirect unit " + written(*unit.redirect) + " is not a unit of this window");
            else if (target == &unit)
                error(unit.redirect->line, "a unit does not redirect to itself");
            else if (m_types.resolve(target->type_name) != type)
                error(unit.redirect->line,
                      "redirect unit " + written(*unit.redirect) + " is not of the same type");
            else
                record.redirect_id = target->id;
        }

        compile_bindings(unit, record);
        compile_settings(unit, type, record);
        return record;
    }

    void compile_bindings(const DesignUnit& unit, UnitRecord& record) {
        std::map<std::int32_t, int> bound;
        for (auto& binding : unit.bindings) {
            if (auto [at, fresh] = bound.emplace(binding.event, binding.line); !fresh)
                error(binding.line, "event " + std::to_string(binding.event) +
                                        " is bound twice (first at line " +
                                        std::to_string(at->second) + ")");
            runtime::EventBinding stored;
            stored.event = binding.event;
            if (!binding.handler.empty())
                stored.stored_handler = handler_entry(binding) * HandlerEntrySize;
            record.bindings.push_back(stored);
        }
    }

    std::uint32_t handler_entry(const DesignBinding& binding) {
        if (binding.parameters.size() > runtime::MaxEventTypedArgs)
            error(binding.line, "a handler takes at most " +
                                    std::to_string(runtime::MaxEventTypedArgs) + " arguments");
        auto [at, fresh] = m_handler_positions.emplace(binding.handler, m_out.handlers.size());
        if (fresh) {
            m_out.handlers.push_back({binding.handler, binding.parameters});
        } else if (auto& handler = m_out.handlers[at->second];
                   handler.parameters.size() != binding.parameters.size()) {
            error(binding.line, "handler '" + binding.handler + "' takes " +
                                    std::to_string(handler.parameters.size()) +
                                    " arguments where it was first bound");
        }
        return FirstHandlerEntry + static_cast<std::uint32_t>(at->second);
    }

    void compile_settings(const DesignUnit& unit, std::optional<std::uint32_t> type,
                          UnitRecord& record) {
        // No settings: an empty tail, which leaves every property at its default.
        if (unit.settings.empty() || !type)
            return;
        const DesignType* design_type = m_types.find(*type);
        if (!design_type || !design_type->writer) {
            error(unit.settings.front().line,
                  "unit type '" + unit.type_name + "' has no settings this compiler knows");
            return;
        }
        std::vector<std::pair<std::string, std::string>> named;
        std::set<std::string> seen;
        for (auto& setting : unit.settings) {
            if (!seen.insert(setting.name).second)
                error(setting.line, "setting '" + setting.name + "' is given twice");
            named.emplace_back(setting.name, setting.value);
        }
        std::string bad_name;
        if (design_type->writer(named, record.type_data, bad_name))
            return;
        auto bad = std::find_if(unit.settings.begin(), unit.settings.end(),
                                [&](auto& setting) { return setting.name == bad_name; });
        int line = bad == unit.settings.end() ? unit.line : bad->line;
        std::string value = bad == unit.settings.end() ? "" : platform::gbk_to_utf8(bad->value);
        error(line, "unknown setting '" + bad_name + "' for type " + design_type->name +
                        ", or a value it does not take: '" + value + "'");
    }

    void link_parents(const DesignWindow& window, runtime::WindowTemplate& compiled,
                      const UnitIndex& index) {
        std::uint32_t window_unit_id = window.units.front().id;
        for (std::size_t i = 1; i < window.units.size(); ++i) {
            const DesignUnit& unit = window.units[i];
            if (!unit.parent)
                continue;
            const DesignUnit* parent = index.find(*unit.parent);
            if (!parent) {
                error(unit.parent->line,
                      "parent " + written(*unit.parent) + " is not a unit of this window");
                continue;
            }
            if (parent == &unit) {
                error(unit.parent->line, "a unit is not its own parent");
                continue;
            }
            // The window itself holds the units placed in no container.
            if (parent->id == window_unit_id)
                continue;
            compiled.units[i].parent_id = parent->id;
        }
        auto& units = compiled.units;
        auto container_of = [&](std::size_t i) {
            return units[i].parent_id == 0 ? NoUnit : index.position(units[i].parent_id);
        };
        for (std::size_t i = 1; i < units.size(); ++i) {
            if (auto container = container_of(i); container != NoUnit)
                units[container].child_ids.push_back(units[i].id);
        }
        // A unit whose containers lead round in a loop is inside itself.
        auto loops = chains_in_loops(units.size(), container_of);
        for (std::size_t i = 1; i < units.size(); ++i) {
            if (loops[i])
                error(window.units[i].parent->line,
                      "unit " + shown(window.units[i].name) + " is inside itself");
        }
    }

    // The runtime follows redirects from unit to unit until one has none; a
    // loop of them would never end there.
    void check_redirect_loops(const DesignWindow& window, const runtime::WindowTemplate& compiled,
                              const UnitIndex& index) {
        auto& units = compiled.units;
        auto target_of = [&](std::size_t i) {
            return units[i].redirect_id == 0 ? NoUnit : index.position(units[i].redirect_id);
        };
        auto loops = chains_in_loops(units.size(), target_of);
        for (std::size_t i = 0; i < units.size(); ++i) {
            if (loops[i])
                error(window.units[i].redirect->line, "the redirects from unit " +
                                                          shown(window.units[i].name) +
                                                          " go round in a loop");
        }
    }

    void compile_constants() {
        std::map<std::string, int> names;
        for (auto& handler : m_out.handlers)
            names.emplace(handler.name, 0);
        auto& area = m_out.constant_area;
        for (auto& constant : m_design.constants) {
            if (auto [at, fresh] = names.emplace(constant.name, constant.line); !fresh)
                error(constant.line,
                      "'" + constant.name + "' is already " +
                          (at->second ? "a constant (line " + std::to_string(at->second) + ")"
                                      : std::string("a handler")));
            while (area.size() % 8 != 0)
                area.push_back(0);
            m_out.constants.push_back({constant.kind, constant.name, area.size()});
            switch (constant.kind) {
            case DesignConstant::Kind::Text:
                area.insert(area.end(), constant.text.begin(), constant.text.end());
                area.push_back(0);
                break;
            case DesignConstant::Kind::Float:
                append_double(area, constant.number);
                break;
            case DesignConstant::Kind::IntArray:
                append_word(area, 1);
                append_word(area, static_cast<std::uint32_t>(constant.ints.size()));
                for (auto value : constant.ints)
                    append_word(area, static_cast<std::uint32_t>(value));
                break;
            case DesignConstant::Kind::FloatArray:
                append_word(area, 1);
                append_word(area, static_cast<std::uint32_t>(constant.floats.size()));
                for (auto value : constant.floats)
                    append_double(area, value);
                break;
            }
        }
    }

    // The aliases and their types' names share the generated namespace with
    // the handlers and the constants, and with each other.
    void compile_aliases() {
        std::map<std::string, std::string> taken; // name: what it already is
        for (auto& handler : m_out.handlers)
            taken.emplace(handler.name, "a handler");
        for (auto& constant : m_design.constants)
            taken.emplace(constant.name, "a constant (line " + std::to_string(constant.line) + ")");
        auto claim = [&](int line, const std::string& name, const std::string& what) {
            if (auto [at, fresh] = taken.emplace(name, what); !fresh) {
                error(line, "alias '" + name + "' is already " + at->second);
                return false;
            }
            return true;
        };
        for (auto& window : m_design.windows) {
            if (!window.alias.empty() && claim(window.line, window.alias,
                                               "the alias of window " + hex(window.id) + " (line " +
                                                   std::to_string(window.line) + ")"))
                m_out.aliases.push_back({window.alias, window.id, true, 0, 0, {}});
            for (auto& unit : window.units) {
                if (unit.alias.empty())
                    continue;
                auto code = m_types.resolve(unit.type_name);
                if (!code) // reported with the unit
                    continue;
                if (!claim(unit.line, unit.alias,
                           "the alias of unit " + shown(unit.name) + " (line " +
                               std::to_string(unit.line) + ")"))
                    continue;
                std::string type_name = alias_type(unit.line, *code, taken);
                m_out.aliases.push_back({unit.alias, window.id, false, unit.id, *code, type_name});
            }
        }
    }

    // The name the header gives an aliased unit's type, its first use
    // describing it; empty when the compiler knows no usable name for it.
    std::string alias_type(int line, std::uint32_t code,
                           std::map<std::string, std::string>& taken) {
        const DesignType* type = m_types.find(code);
        if (!type || !is_identifier(type->name))
            return {};
        for (auto& known : m_out.alias_types) {
            if (known.code == code)
                return known.name;
        }
        if (auto [at, fresh] = taken.emplace(type->name, "the name of unit type " + type->name);
            !fresh) {
            error(line,
                  "unit type " + type->name + ", which the header names, is already " + at->second);
            return {};
        }
        CompiledUnitType compiled{type->name, code, {}};
        for (const units::PropertyRow& row : type->properties) {
            if (row.name && row.kind != runtime::value_kind::Empty)
                compiled.properties.push_back(
                    {row.name,
                     row.own_index + static_cast<std::int32_t>(units::CommonPropertyCount)});
        }
        m_out.alias_types.push_back(std::move(compiled));
        return type->name;
    }

    const Design& m_design;
    const DesignTypes& m_types;
    CompiledDesign m_out;
    std::unordered_map<std::string, std::size_t> m_handler_positions; // in m_out.handlers
    std::vector<DesignError> m_errors;
};

} // namespace

CompileResult compile_design(const Design& design, const DesignTypes& types) {
    return Compiler(design, types).run();
}

CompileResult compile_design_source(std::string_view source, const DesignTypes& types) {
    auto parsed = parse_design(source);
    auto result = compile_design(parsed.design, types);
    result.errors.insert(result.errors.end(), parsed.errors.begin(), parsed.errors.end());
    std::stable_sort(result.errors.begin(), result.errors.end(),
                     [](auto& a, auto& b) { return a.line < b.line; });
    return result;
}

} // namespace designc
