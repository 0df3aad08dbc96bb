#include "DesignSource.h"

#include "DesignLexer.h"

namespace designc {

namespace {

class Parser {
  public:
    ParsedDesign run(std::string_view source) {
        for (auto& line : logical_lines(source)) {
            m_line = line.line;
            if (line.continued_past_end)
                error("the line is continued with \\ but the design ends there");
            parse_line(line.text);
        }
        return {std::move(m_design), std::move(m_errors)};
    }

  private:
    void error(std::string message) { m_errors.push_back({m_line, std::move(message)}); }

    DesignUnit* current_unit(const std::string& keyword) {
        if (m_design.windows.empty() || m_design.windows.back().units.empty()) {
            error("'" + keyword + "' outside a unit");
            return nullptr;
        }
        return &m_design.windows.back().units.back();
    }

    void parse_line(std::string_view text) {
        if (trim(text).empty())
            return;
        std::vector<Token> tokens;
        std::string message;
        auto body = trim(text);
        if (body.starts_with("const ") || body == "const") {
            parse_constant(body.substr(5));
            return;
        }
        auto equals = find_equals(text);
        // A setting's value is taken as written, so that byte blocks may be
        // given as spaced hexadecimal digits.
        if (equals != std::string_view::npos) {
            auto head = trim(text.substr(0, equals));
            if (head.find_first_of(" \t,\"") == std::string_view::npos) {
                parse_setting(std::string(head), trim(text.substr(equals + 1)));
                return;
            }
        }
        if (!tokenize(text, tokens, message)) {
            error(message);
            return;
        }
        const std::string& keyword = tokens[0].text;
        if (tokens[0].kind != Token::Kind::Word) {
            error("a line starts with a keyword or a setting name");
        } else if (keyword == "namespace") {
            parse_namespace(tokens);
        } else if (keyword == "window") {
            parse_window(tokens);
        } else if (keyword == "unit") {
            parse_unit(tokens);
        } else if (keyword == "rect") {
            parse_rect(tokens);
        } else if (keyword == "parent" || keyword == "redirect" || keyword == "label-for") {
            parse_reference(tokens);
        } else if (keyword == "flags") {
            parse_flags(tokens);
        } else if (keyword == "tag") {
            parse_tag(tokens);
        } else if (keyword == "access") {
            parse_access(tokens);
        } else if (keyword == "on") {
            parse_binding(tokens);
        } else {
            error("unknown keyword '" + keyword + "'");
        }
    }

    static std::size_t find_equals(std::string_view text) {
        bool quoted = false;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\\' && quoted)
                ++i;
            else if (text[i] == '"')
                quoted = !quoted;
            else if (text[i] == '=' && !quoted)
                return i;
        }
        return std::string_view::npos;
    }

    // A value is quoted texts (joined) or the words as written.
    bool read_value(std::string_view text, std::string& value) {
        if (!text.starts_with('"')) {
            value = std::string(text);
            return true;
        }
        std::vector<Token> tokens;
        std::string message;
        if (!tokenize(text, tokens, message)) {
            error(message);
            return false;
        }
        value.clear();
        for (auto& token : tokens) {
            if (token.kind != Token::Kind::Text) {
                error("'" + token.text + "' after a quoted text");
                return false;
            }
            value += token.text;
        }
        return true;
    }

    void parse_setting(std::string name, std::string_view raw) {
        auto* unit = current_unit(name);
        if (!unit)
            return;
        DesignSetting setting{m_line, std::move(name), {}};
        if (!read_value(raw, setting.value))
            return;
        unit->settings.push_back(std::move(setting));
    }

    void parse_namespace(const std::vector<Token>& tokens) {
        if (m_namespace_line != 0) {
            error("a second namespace for the design (first at line " +
                  std::to_string(m_namespace_line) + ")");
            return;
        }
        m_namespace_line = m_line;
        if (tokens.size() != 2) {
            error("namespace takes one name");
            return;
        }
        std::string_view rest = tokens[1].text;
        while (true) {
            auto colons = rest.find("::");
            if (!is_identifier(rest.substr(0, colons))) {
                error("'" + tokens[1].text + "' is not a namespace name");
                return;
            }
            if (colons == std::string_view::npos)
                break;
            rest.remove_prefix(colons + 2);
        }
        m_design.name_space = tokens[1].text;
    }

    // A trailing `as ALIAS` is taken off the tokens. A bad alias is reported
    // and dropped, so that the lines after it still find their window or unit.
    void take_alias(std::vector<Token>& tokens, std::size_t words, std::string& alias) {
        if (tokens.size() != words + 2 || tokens[words].kind != Token::Kind::Word ||
            tokens[words].text != "as")
            return;
        const Token& name = tokens[words + 1];
        if (name.kind == Token::Kind::Word && is_identifier(name.text))
            alias = name.text;
        else
            error("'" + name.text + "' is not an alias (a C++ identifier)");
        tokens.resize(words);
    }

    void parse_window(std::vector<Token> tokens) {
        std::string alias;
        take_alias(tokens, 2, alias);
        std::optional<std::uint32_t> id;
        if (tokens.size() == 2)
            id = parse_uint32(tokens[1].text);
        if (!id || *id == 0) {
            error("a window reads: window ID (a nonzero number), then as ALIAS if it has one");
            return;
        }
        m_design.windows.push_back({m_line, *id, std::move(alias), {}});
    }

    void parse_unit(std::vector<Token> tokens) {
        if (m_design.windows.empty()) {
            error("unit outside a window");
            return;
        }
        DesignUnit unit;
        take_alias(tokens, 4, unit.alias);
        std::optional<std::uint32_t> id;
        if (tokens.size() == 4)
            id = parse_uint32(tokens[1].text);
        if (!id || tokens[3].kind != Token::Kind::Word) {
            error("a unit reads: unit ID NAME TYPE, then as ALIAS if it has one");
            return;
        }
        unit.line = m_line;
        unit.id = *id;
        unit.type_name = tokens[3].text;
        if (!read_name(tokens[2], unit.name))
            return;
        m_design.windows.back().units.push_back(std::move(unit));
    }

    bool read_name(const Token& token, std::string& name) {
        if (token.kind == Token::Kind::Text) {
            name = token.text;
        } else if (token.kind != Token::Kind::Word || !to_gbk(token.text, name)) {
            error("'" + token.text + "' is not a name GBK can hold");
            return false;
        }
        if (name.empty()) {
            error("a unit name is not empty");
            return false;
        }
        return true;
    }

    void parse_rect(const std::vector<Token>& tokens) {
        auto* unit = current_unit("rect");
        if (!unit)
            return;
        if (unit->rect) {
            error("a second rect for the unit");
            return;
        }
        std::array<std::int32_t, 4> rect{};
        bool good = tokens.size() == 5;
        for (std::size_t i = 0; good && i < 4; ++i) {
            auto value = parse_int32(tokens[i + 1].text);
            good = value && tokens[i + 1].kind == Token::Kind::Word;
            rect[i] = value.value_or(0);
        }
        // A bad rectangle still counts as given, so that it is reported once.
        unit->rect = rect;
        if (!good)
            error("bad rectangle: rect LEFT TOP WIDTH HEIGHT takes four whole numbers");
        else if (rect[2] < 0 || rect[3] < 0)
            error("bad rectangle: width and height are not negative");
    }

    void parse_reference(const std::vector<Token>& tokens) {
        const std::string& keyword = tokens[0].text;
        auto* unit = current_unit(keyword);
        if (!unit)
            return;
        auto& slot = keyword == "parent"     ? unit->parent
                     : keyword == "redirect" ? unit->redirect
                                             : unit->label_for;
        if (slot) {
            error("a second " + keyword + " for the unit");
            return;
        }
        if (tokens.size() != 2) {
            error(keyword + " takes one unit name or id");
            return;
        }
        UnitReference reference;
        reference.line = m_line;
        char first = tokens[1].text.empty() ? 0 : tokens[1].text[0];
        if (tokens[1].kind == Token::Kind::Word && first >= '0' && first <= '9') {
            reference.id = parse_uint32(tokens[1].text);
            if (!reference.id) {
                error("'" + tokens[1].text + "' is not a unit id");
                return;
            }
        } else if (!read_name(tokens[1], reference.name)) {
            return;
        }
        slot = std::move(reference);
    }

    void parse_flags(const std::vector<Token>& tokens) {
        auto* unit = current_unit("flags");
        if (!unit)
            return;
        std::uint32_t flags = 0;
        for (std::size_t i = 1; i < tokens.size(); ++i) {
            const std::string& flag = tokens[i].text;
            if (flag == "visible")
                flags |= 1u << 0;
            else if (flag == "disabled")
                flags |= 1u << 1;
            else if (flag == "tabstop")
                flags |= 1u << 2;
            else
                return error("unknown flag '" + flag + "' (visible, disabled, tabstop)");
        }
        unit->flags = flags;
    }

    void parse_tag(const std::vector<Token>& tokens) {
        auto* unit = current_unit("tag");
        if (!unit)
            return;
        if (tokens.size() != 2 || tokens[1].kind != Token::Kind::Text)
            return error("tag takes one quoted text");
        unit->tag = tokens[1].text;
    }

    void parse_access(const std::vector<Token>& tokens) {
        auto* unit = current_unit("access");
        if (!unit)
            return;
        if (tokens.size() != 2 || tokens[1].kind != Token::Kind::Text || tokens[1].text.empty())
            return error("access takes one quoted, non-empty name");
        if (!unit->access_name.empty())
            return error("a second access name for the unit");
        unit->access_name = tokens[1].text;
    }

    void parse_binding(const std::vector<Token>& tokens) {
        auto* unit = current_unit("on");
        if (!unit)
            return;
        std::optional<std::int32_t> event;
        if (tokens.size() >= 3)
            event = parse_int32(tokens[1].text);
        if (!event || tokens[2].kind != Token::Kind::Word)
            return error("a binding reads: on EVENT HANDLER, or on EVENT HANDLER(ARGS)");
        DesignBinding binding{m_line, *event, tokens[2].text, {}};
        if (binding.handler == "none") {
            if (tokens.size() != 3)
                return error("a binding without a handler takes no arguments");
            binding.handler.clear();
            unit->bindings.push_back(std::move(binding));
            return;
        }
        if (!is_identifier(binding.handler))
            return error("'" + binding.handler + "' is not a handler name");
        if (tokens.size() > 3) {
            bool good = tokens[3].text == "(" && tokens.back().text == ")";
            for (std::size_t i = 4; good && i + 1 < tokens.size(); ++i) {
                good = is_identifier(tokens[i].text);
                binding.parameters.push_back(tokens[i].text);
            }
            if (!good)
                return error("a handler's arguments read: HANDLER(a, b)");
        }
        unit->bindings.push_back(std::move(binding));
    }

    void parse_constant(std::string_view text) {
        static constexpr const char* Form = "a constant reads: const text|float|array NAME = VALUE";
        auto equals = find_equals(text);
        std::vector<Token> head;
        std::string message;
        if (equals == std::string_view::npos || !tokenize(text.substr(0, equals), head, message) ||
            head.size() != 2)
            return error(Form);
        DesignConstant constant;
        constant.line = m_line;
        constant.name = head[1].text;
        if (!is_identifier(constant.name))
            return error("'" + constant.name + "' is not a constant name");
        auto value = trim(text.substr(equals + 1));
        const std::string& kind = head[0].text;
        if (kind == "text") {
            if (!value.starts_with('"'))
                return error("a text constant is quoted");
            if (!read_value(value, constant.text))
                return;
            constant.kind = DesignConstant::Kind::Text;
        } else if (kind == "float") {
            auto number = parse_float(value);
            if (!number)
                return error("'" + std::string(value) + "' is not a number");
            constant.kind = DesignConstant::Kind::Float;
            constant.number = *number;
        } else if (kind == "array") {
            if (!parse_array(value, constant))
                return;
        } else {
            return error(Form);
        }
        m_design.constants.push_back(std::move(constant));
    }

    // int {1, 2, 3} or float {0.5}
    bool parse_array(std::string_view text, DesignConstant& constant) {
        std::vector<Token> tokens;
        std::string message;
        bool good = tokenize(text, tokens, message) && tokens.size() >= 3 &&
                    (tokens[0].text == "int" || tokens[0].text == "float") &&
                    tokens[1].text == "{" && tokens.back().text == "}";
        if (!good) {
            error("an array constant reads: int {1, 2} or float {0.5}");
            return false;
        }
        bool ints = tokens[0].text == "int";
        constant.kind = ints ? DesignConstant::Kind::IntArray : DesignConstant::Kind::FloatArray;
        for (std::size_t i = 2; i + 1 < tokens.size(); ++i) {
            const std::string& element = tokens[i].text;
            if (ints) {
                auto value = parse_int32(element);
                if (value && tokens[i].kind == Token::Kind::Word) {
                    constant.ints.push_back(*value);
                    continue;
                }
            } else {
                auto value = parse_float(element);
                if (value && tokens[i].kind == Token::Kind::Word) {
                    constant.floats.push_back(*value);
                    continue;
                }
            }
            error("'" + element + "' is not an element of an " + tokens[0].text + " array");
            return false;
        }
        return true;
    }

    Design m_design;
    std::vector<DesignError> m_errors;
    int m_line = 0;
    int m_namespace_line = 0;
};

} // namespace

bool is_identifier(std::string_view text) {
    // The generated code keeps its own names apart with this prefix.
    if (text.empty() || (text[0] >= '0' && text[0] <= '9') || text.starts_with("designc_") ||
        text == "StartWindowId")
        return false;
    for (char c : text) {
        bool good =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
        if (!good)
            return false;
    }
    static constexpr std::string_view Reserved[] = {
        "auto",   "bool",   "break",    "case",   "char",   "class",     "const",  "default",
        "delete", "do",     "double",   "else",   "enum",   "false",     "float",  "for",
        "if",     "int",    "long",     "new",    "none",   "operator",  "return", "short",
        "signed", "sizeof", "static",   "struct", "switch", "template",  "this",   "true",
        "try",    "union",  "unsigned", "void",   "while",  "namespace", "using"};
    for (auto word : Reserved) {
        if (text == word)
            return false;
    }
    return true;
}

ParsedDesign parse_design(std::string_view source) {
    return Parser().run(source);
}

} // namespace designc
