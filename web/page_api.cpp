// The page's form in C: what its script calls to build the form from the dialogs' table, to
// run the answers, to read a robot data file the user picked and to save the settings as one.
// Texts are UTF-8; a returned text lives until the next call of the same function.
#include "app/form.h"
#include "app/window.h"
#include "platform/x_window.h"
#include "settings/datafile.h"
#include "settings/dialog_schema.h"

#include <cstdio>
#include <emscripten/emscripten.h>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace robosim {

// the page's one session (web/main.cpp)
Session& page_session();

//------------------------------------------------------------------ JSON

static void append_json_string(std::string* out, const char* text) {
    *out += '"';
    for (const char* c = text; *c != '\0'; ++c) {
        const auto byte = static_cast<unsigned char>(*c);
        if (*c == '"' || *c == '\\') {
            *out += '\\';
            *out += *c;
        } else if (byte < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            *out += escaped;
        } else {
            *out += *c;  // UTF-8 passes as it is
        }
    }
    *out += '"';
}

// "name":"text" pairs, separated by commas
using Members = std::initializer_list<std::pair<const char*, std::string>>;

static void append_members(std::string* out, Members members) {
    bool first = true;
    for (const auto& [name, text] : members) {
        *out += first ? "" : ",";
        first = false;
        append_json_string(out, name);
        *out += ':';
        append_json_string(out, text.c_str());
    }
}

// the form as page.js builds it: the selectors with their choices, then the dialogs in their
// order, each with its conditions and its values as they stand in s
static std::string form_json(const Settings& s) {
    std::string out = "{\"selectors\":[";
    for (const DialogSelector& selector : dialog_selectors()) {
        out += out.back() == '[' ? "{" : ",{";
        append_members(&out, {{"name", selector.name},
                              {"title_ja", selector.title_ja},
                              {"title_en", selector.title_en},
                              {"value", std::string(1, selector_value(s, selector.name))}});
        out += ",\"choices\":[";
        for (const DialogChoice& choice : selector.choices) {
            out += out.back() == '[' ? "{" : ",{";
            append_members(
                &out,
                {{"value", std::string(1, choice.value)}, {"ja", choice.ja}, {"en", choice.en}});
            out += '}';
        }
        out += "]}";
    }
    out += "],\"sections\":[";
    for (const DialogSection& section : dialog_sections()) {
        out += out.back() == '[' ? "{" : ",{";
        append_members(&out, {{"id", section.id},
                              {"key", std::string(1, section.key)},
                              {"title_ja", section.title_ja},
                              {"title_en", section.title_en}});
        out += ",\"when\":{";
        for (const DialogCondition& c : section.when) {
            if (c.selector != nullptr) {
                out += out.back() == '{' ? "" : ",";
                append_members(&out, {{c.selector, std::string(1, c.value)}});
            }
        }
        out += "},\"fields\":[";
        for (const DialogField& field : section.fields) {
            out += out.back() == '[' ? "{" : ",{";
            append_members(&out, {{"name", field.setting},
                                  {"prompt", field.prompt},
                                  {"label_ja", field.label_ja},
                                  {"label_en", field.label_en},
                                  {"unit", setting_unit(field.setting)},
                                  {"value", dialog_value_text(s, field.setting)}});
            out += '}';
        }
        out += "]}";
    }
    out += "]}";
    return out;
}

// "name=value" lines
static std::vector<std::pair<std::string, std::string>> answer_lines(const char* lines) {
    std::vector<std::pair<std::string, std::string>> answers;
    std::string line;
    for (const char* c = lines;; ++c) {
        if (*c == '\n' || *c == '\0') {
            if (const size_t eq = line.find('='); eq != std::string::npos) {
                answers.emplace_back(line.substr(0, eq), line.substr(eq + 1));
            }
            line.clear();
            if (*c == '\0') {
                break;
            }
        } else {
            line += *c;
        }
    }
    return answers;
}

}  // namespace robosim

using namespace robosim;

extern "C" {

// the page script's calls (page.js)
const char* robosim_form();
const char* robosim_apply(const char* lines);
const char* robosim_load(const unsigned char* bytes, int length, const char* file_name);
const char* robosim_save();

EMSCRIPTEN_KEEPALIVE const char* robosim_form() {
    static std::string json;
    json = form_json(page_session().experiment.settings);
    return json.c_str();
}

EMSCRIPTEN_KEEPALIVE const char* robosim_apply(const char* lines) {
    static std::string result;
    const DialogRefusal refusal = answer_form(page_session(), answer_lines(lines));
    result = refusal.setting.empty() ? std::string() : refusal.setting + '\t' + refusal.message;
    if (refusal.setting.empty()) {
        request_redraw();  // the new run; a refused form leaves the frame as it is
    }
    return result.c_str();
}

EMSCRIPTEN_KEEPALIVE const char* robosim_load(const unsigned char* bytes, int length,
                                              const char* file_name) {
    static std::string result;
    // the file the user picked, under its own name in the page's memory, read as 'r' reads one
    std::string name = file_name;
    for (char& c : name) {
        c = c == '/' ? '_' : c;
    }
    if (name.empty() || name == "." || name == "..") {
        name = "robot21.dat";
    }
    // in the page's own folder (memory), so that the echo names it as the user knows it
    const std::string path = name;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr
        || std::fwrite(bytes, 1, static_cast<size_t>(length), f) != static_cast<size_t>(length)) {
        if (f != nullptr) {
            std::fclose(f);
        }
        result = "the file could not be held in the page's memory";
        return result.c_str();
    }
    std::fclose(f);
    result = read_form_file(page_session(), path.c_str());
    std::remove(path.c_str());
    request_redraw();
    return result.c_str();
}

EMSCRIPTEN_KEEPALIVE const char* robosim_save() {
    static std::string text;
    text = robot_data_text(page_session().experiment);
    return text.c_str();
}
}
