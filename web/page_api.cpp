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

// "name":"text"
static void append_member(std::string* out, const char* name, const char* text) {
    append_json_string(out, name);
    *out += ':';
    append_json_string(out, text);
}

static std::string form_json(const Settings& s) {
    std::string out = "{\"selectors\":[";
    bool first = true;
    for (const DialogSelector& selector : dialog_selectors()) {
        out += first ? "{" : ",{";
        first = false;
        append_member(&out, "name", selector.name);
        out += ',';
        append_member(&out, "title_ja", selector.title_ja);
        out += ',';
        append_member(&out, "title_en", selector.title_en);
        out += ',';
        const char value[2] = {selector_value(s, selector.name), '\0'};
        append_member(&out, "value", value);
        out += ",\"choices\":[";
        for (size_t i = 0; i < selector.choices.size(); ++i) {
            const DialogChoice& choice = selector.choices[i];
            const char key[2] = {choice.value, '\0'};
            out += i == 0 ? "{" : ",{";
            append_member(&out, "value", key);
            out += ',';
            append_member(&out, "ja", choice.ja);
            out += ',';
            append_member(&out, "en", choice.en);
            out += '}';
        }
        out += "]}";
    }
    out += "],\"sections\":[";
    first = true;
    for (const DialogSection& section : dialog_sections()) {
        out += first ? "{" : ",{";
        first = false;
        append_member(&out, "id", section.id);
        out += ',';
        const char key[2] = {section.key, '\0'};
        append_member(&out, "key", key);
        out += ',';
        append_member(&out, "title_ja", section.title_ja);
        out += ',';
        append_member(&out, "title_en", section.title_en);
        out += ",\"when\":{";
        bool first_condition = true;
        for (const DialogCondition& c : section.when) {
            if (c.selector != nullptr) {
                out += first_condition ? "" : ",";
                first_condition = false;
                const char value[2] = {c.value, '\0'};
                append_member(&out, c.selector, value);
            }
        }
        out += "},\"fields\":[";
        for (size_t i = 0; i < section.fields.size(); ++i) {
            const DialogField& field = section.fields[i];
            out += i == 0 ? "{" : ",{";
            append_member(&out, "name", field.setting);
            out += ',';
            append_member(&out, "prompt", field.prompt);
            out += ',';
            append_member(&out, "label_ja", field.label_ja);
            out += ',';
            append_member(&out, "label_en", field.label_en);
            out += ',';
            append_member(&out, "unit", setting_unit(field.setting));
            out += ',';
            append_member(&out, "value", dialog_value_text(s, field.setting).c_str());
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
