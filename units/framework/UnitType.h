#pragma once

// Turns a unit class into the entry points its UnitTypeInfo hands out.
//
// A unit class T derives from Unit and provides:
//   struct Settings with its defaults, `bool read(StoredDataReader&)` and
//     `void write(StoredDataWriter&) const` (the stored data; the design
//     compiler writes it with the same function) and
//     `bool set_by_name(std::string_view name, std::string_view value)`;
//   a constructor T(window id, unit id, Settings);
//   `bool create_window(const CreateParameters&)`;
//   `const Settings& settings() const`;
//   `int get_property(int own_index, runtime::PropertyValue&)` (1 when known);
//   `int set_property(int own_index, const runtime::PropertyValue&)` (1: re-create me).

#include "PropertyTable.h"
#include "StoredData.h"
#include "Unit.h"

#include <runtime/image/UnitTypeInfo.h>

#include <array>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace units {

struct CreateParameters {
    std::uint32_t style = 0; // visibility, disabled and tab-stop bits from the runtime
    HWND parent = nullptr;
    std::uint32_t control_id = 0;
    void* menu = nullptr;
    int left = 0, top = 0, width = 0, height = 0;
    bool design = false;
};

// Reads stored data over the defaults; an empty block leaves the defaults.
template <typename Settings>
bool read_stored_settings(std::span<const std::uint8_t> data, Settings& settings) {
    settings = Settings{};
    if (data.empty())
        return true;
    StoredDataReader reader(data);
    return settings.read(reader);
}

template <typename Settings>
std::vector<std::uint8_t> write_stored_settings(const Settings& settings) {
    StoredDataWriter writer;
    settings.write(writer);
    return writer.take();
}

template <typename T> struct UnitTypeEntries {
    static runtime::UnitObject* create(const std::uint8_t* data, std::uint32_t length,
                                       std::uint32_t style, HWND parent, std::uint32_t control_id,
                                       void* menu, int left, int top, int width, int height,
                                       std::uint32_t window_id, std::uint32_t unit_id,
                                       std::uint32_t, std::uint32_t design_flag) {
        typename T::Settings settings;
        std::span<const std::uint8_t> bytes;
        if (data)
            bytes = {data, length};
        if (!read_stored_settings(bytes, settings))
            return nullptr;
        auto unit = std::make_unique<T>(window_id, unit_id, std::move(settings));
        CreateParameters parameters{style, parent, control_id,      menu, left, top,
                                    width, height, design_flag != 0};
        if (!unit->create_window(parameters))
            return nullptr;
        // From here the unit's window owns it.
        return unit.release();
    }

    static int set_property(runtime::UnitObject* unit, std::int32_t own_index,
                            const runtime::PropertyValue* value, std::uint32_t* result) {
        if (result)
            *result = 0;
        if (!unit || !value)
            return 0;
        return static_cast<T*>(unit)->set_property(own_index, *value);
    }

    static bool save_state(runtime::UnitObject* unit, std::vector<std::uint8_t>* state) {
        if (!unit || !state)
            return false;
        *state = write_stored_settings(static_cast<T*>(unit)->settings());
        return true;
    }

    static int get_property(runtime::UnitObject* unit, std::int32_t own_index,
                            runtime::PropertyValue* value) {
        if (!unit || !value)
            return 0;
        return static_cast<T*>(unit)->get_property(own_index, *value);
    }

    static runtime::UnitEntryPoint query(std::int32_t code) {
        switch (code) {
        case runtime::UnitQueryCreate:
            return reinterpret_cast<runtime::UnitEntryPoint>(&create);
        case runtime::UnitQuerySetProperty:
            return reinterpret_cast<runtime::UnitEntryPoint>(&set_property);
        case runtime::UnitQuerySaveState:
            return reinterpret_cast<runtime::UnitEntryPoint>(&save_state);
        case runtime::UnitQueryGetProperty:
            return reinterpret_cast<runtime::UnitEntryPoint>(&get_property);
        default:
            return nullptr;
        }
    }

    // The type's stored data from design settings by name; false (with the
    // offending name in `bad_name`) when a name or value is not the type's.
    static bool design_data(std::span<const std::pair<std::string, std::string>> named,
                            std::vector<std::uint8_t>& data, std::string& bad_name) {
        typename T::Settings settings;
        for (auto& [name, value] : named) {
            if (!settings.set_by_name(name, value)) {
                bad_name = name;
                return false;
            }
        }
        data = write_stored_settings(settings);
        return true;
    }
};

// A unit type's descriptor: its names and flags, the property table the
// runtime reads and the query function of its entries.
template <std::size_t N>
runtime::UnitTypeInfo make_unit_type_info(const char* display_name, const char* english_name,
                                          std::uint32_t flags, const PropertyTable<N>& properties,
                                          runtime::UnitQueryFunction query) {
    runtime::UnitTypeInfo type;
    type.display_name = display_name;
    type.english_name = english_name;
    type.flags = flags;
    type.property_count = properties.info_count();
    type.properties = properties.info();
    type.query = query;
    return type;
}

} // namespace units
