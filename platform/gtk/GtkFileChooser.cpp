#include "GtkFileChooser.h"

#include <platform/Encoding.h>
#include <platform/window/WindowSystem.h>

#include <cstdio>
#include <gtk/gtk.h>

namespace {

// Our class shares its name with GTK's interface type, and GTK's cast
// macros name that type unqualified; inside namespace platform they would
// find ours. The casts therefore live out here.
::GtkFileChooser* as_chooser(GtkWidget* dialog) {
    return GTK_FILE_CHOOSER(dialog);
}

} // namespace

namespace platform {

namespace {

// The response of the extra button that takes the folder being shown.
constexpr int k_choose_folder = 1;

// A string GLib allocated, freed when it goes.
struct GlibText {
    gchar* text = nullptr;
    explicit GlibText(gchar* t) : text(t) {}
    ~GlibText() { g_free(text); }
    GlibText(const GlibText&) = delete;
    GlibText& operator=(const GlibText&) = delete;
};

// Patterns on the platform match without regard to case and "*.*" means
// every file; GTK globs are case-sensitive and "*.*" would need a dot. A
// letter outside brackets becomes a bracket of both cases.
std::string glob_for(std::string pattern) {
    if (pattern == "*.*")
        return "*";
    std::string out;
    bool in_brackets = false;
    for (char c : pattern) {
        unsigned char u = static_cast<unsigned char>(c);
        if (c == '[')
            in_brackets = true;
        else if (c == ']')
            in_brackets = false;
        if (!in_brackets && u < 0x80 && g_ascii_isalpha(c)) {
            out += '[';
            out += g_ascii_tolower(c);
            out += g_ascii_toupper(c);
            out += ']';
        } else {
            out += c;
        }
    }
    return out;
}

std::vector<std::string> split_patterns(const std::string& list) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = list.find(';', start);
        if (end == std::string::npos)
            end = list.size();
        std::string p = list.substr(start, end - start);
        auto first = p.find_first_not_of(' ');
        auto last = p.find_last_not_of(' ');
        if (first != std::string::npos)
            out.push_back(p.substr(first, last - first + 1));
        start = end + 1;
    }
    return out;
}

bool is_folder(const std::string& utf8_path) {
    return g_file_test(utf8_path.c_str(), G_FILE_TEST_IS_DIR);
}

std::string folder_of(const std::string& utf8_path) {
    GlibText dir(g_path_get_dirname(utf8_path.c_str()));
    return dir.text;
}

std::string display_name(const std::string& path) {
    GlibText shown(g_filename_display_name(path.c_str()));
    return shown.text;
}

} // namespace

std::optional<FileDialogAnswer> GtkFileChooser::run_file_dialog(const FileDialogRequest& request,
                                                                GtkWindow* parent) {
    Mode mode = request.kind == FileDialogKind::Save ? Mode::Save : Mode::Open;
    GtkFileChooser chooser(mode, request.title, parent);
    chooser.set_flags(request.flags);
    chooser.set_filters(request.filters, request.filter_index);
    chooser.set_start(request.initial_folder, request.file_name);
    std::optional<std::string> path = chooser.run();
    if (!path)
        return std::nullopt;
    return FileDialogAnswer{*path, chooser.filter_index()};
}

std::optional<std::string> GtkFileChooser::run_folder_dialog(const FolderDialogRequest& request,
                                                             GtkWindow* parent) {
    GtkFileChooser chooser(request.include_files ? Mode::FolderOrFile : Mode::Folder, request.title,
                           parent);
    chooser.set_start(request.initial_folder, {});
    return chooser.run();
}

GtkFileChooser::GtkFileChooser(Mode mode, std::string_view gbk_title, GtkWindow* parent)
    : m_mode(mode) {
    GtkFileChooserAction action = GTK_FILE_CHOOSER_ACTION_OPEN;
    const char* accept = "_Open";
    const char* fallback_title = "Open";
    if (mode == Mode::Save) {
        action = GTK_FILE_CHOOSER_ACTION_SAVE;
        accept = "_Save";
        fallback_title = "Save As";
    } else if (mode == Mode::Folder) {
        action = GTK_FILE_CHOOSER_ACTION_SELECT_FOLDER;
        accept = "_Select";
        fallback_title = "Select Folder";
    } else if (mode == Mode::FolderOrFile) {
        fallback_title = "Select Folder";
    }
    std::string title = gbk_title.empty() ? fallback_title : gbk_to_utf8(gbk_title);
    // GTK's own catalogue translates its stock labels.
    m_dialog = gtk_file_chooser_dialog_new(
        title.c_str(), parent, action, g_dgettext("gtk30", "_Cancel"), GTK_RESPONSE_CANCEL,
        g_dgettext("gtk30", accept), GTK_RESPONSE_ACCEPT, nullptr);
    if (mode == Mode::FolderOrFile)
        gtk_dialog_add_button(GTK_DIALOG(m_dialog), "Choose this _folder", k_choose_folder);
    gtk_dialog_set_default_response(GTK_DIALOG(m_dialog), GTK_RESPONSE_ACCEPT);
    gtk_window_set_modal(GTK_WINDOW(m_dialog), TRUE);
    gtk_file_chooser_set_local_only(as_chooser(m_dialog), TRUE);
    // GTK's confirmation of an overwrite would block in gtk_dialog_run, so
    // ours answers instead (see on_confirm_overwrite).
    g_signal_connect(m_dialog, "confirm-overwrite", G_CALLBACK(on_confirm_overwrite), this);
    // Escape or the window manager's close button would destroy the window
    // after its response; it lives until we are done with it.
    g_signal_connect(m_dialog, "delete-event", G_CALLBACK(gtk_true), nullptr);
}

GtkFileChooser::~GtkFileChooser() {
    if (m_confirm)
        gtk_widget_destroy(m_confirm);
    gtk_widget_destroy(m_dialog);
}

void GtkFileChooser::set_start(std::string_view gbk_folder, std::string_view gbk_name) {
    std::string folder = gbk_to_utf8(gbk_folder);
    std::string name = gbk_to_utf8(gbk_name);
    if (auto slash = name.rfind('/'); slash != std::string::npos) {
        std::string dir = slash == 0 ? "/" : name.substr(0, slash);
        folder = dir[0] == '/' || folder.empty() ? dir : folder + "/" + dir;
        name.erase(0, slash + 1);
    }
    if (folder.empty() || !is_folder(folder)) {
        // Without a folder the platform starts in the working folder; GTK
        // would show its list of recent files instead.
        GlibText here(g_get_current_dir());
        folder = here.text;
    }
    ::GtkFileChooser* fc = as_chooser(m_dialog);
    gtk_file_chooser_set_current_folder(fc, folder.c_str());
    if (name.empty())
        return;
    if (m_mode == Mode::Save) {
        gtk_file_chooser_set_current_name(fc, name.c_str());
        return;
    }
    std::string full = folder + "/" + name;
    if (g_file_test(full.c_str(), G_FILE_TEST_EXISTS))
        gtk_file_chooser_select_filename(fc, full.c_str());
}

void GtkFileChooser::set_filters(
    const std::vector<std::pair<std::string, std::string>>& gbk_filters, int index) {
    m_initial_filter = index;
    ::GtkFileChooser* fc = as_chooser(m_dialog);
    for (const auto& [description, patterns] : gbk_filters) {
        GtkFileFilter* filter = gtk_file_filter_new();
        gtk_file_filter_set_name(filter, gbk_to_utf8(description).c_str());
        for (const std::string& p : split_patterns(gbk_to_utf8(patterns)))
            gtk_file_filter_add_pattern(filter, glob_for(p).c_str());
        // The chooser takes the floating reference and keeps the filter
        // for as long as the dialog lives.
        gtk_file_chooser_add_filter(fc, filter);
        m_filters.push_back(filter);
    }
    if (m_filters.empty())
        return;
    // Index 0 asks for a custom filter the request cannot carry; any index
    // out of range shows the first, as the platform does.
    std::size_t shown = index >= 1 && static_cast<std::size_t>(index) <= m_filters.size()
                            ? static_cast<std::size_t>(index - 1)
                            : 0;
    gtk_file_chooser_set_filter(fc, m_filters[shown]);
}

void GtkFileChooser::set_flags(std::uint32_t ofn_flags) {
    m_flags = ofn_flags;
    if (m_mode == Mode::Save)
        gtk_file_chooser_set_do_overwrite_confirmation(as_chooser(m_dialog),
                                                       (ofn_flags & OFN_OVERWRITEPROMPT) != 0);
}

int GtkFileChooser::filter_index() const {
    GtkFileFilter* current = gtk_file_chooser_get_filter(as_chooser(m_dialog));
    for (std::size_t i = 0; i < m_filters.size(); ++i)
        if (m_filters[i] == current)
            return static_cast<int>(i) + 1;
    return m_initial_filter;
}

std::optional<std::string> GtkFileChooser::run() {
    std::vector<HWND> disabled;
    for (HWND top : top_level_windows())
        if (is_window_enabled(top))
            disabled.push_back(top);
    for (HWND top : disabled)
        enable_window(top, false);

    m_answered = false;
    m_path.reset();
    gulong handler = g_signal_connect(m_dialog, "response", G_CALLBACK(on_response), this);
    gtk_window_present(GTK_WINDOW(m_dialog));
    while (!m_answered) {
        Msg msg;
        if (!get_message(msg)) {
            // The outer loop must see the quit request too; the dialog
            // counts as cancelled.
            post_quit_message(static_cast<int>(msg.wParam));
            m_path.reset();
            break;
        }
        translate_message(msg);
        dispatch_message(msg);
    }
    g_signal_handler_disconnect(m_dialog, handler);
    if (m_confirm) {
        gtk_widget_destroy(m_confirm);
        m_confirm = nullptr;
    }
    gtk_widget_hide(m_dialog);

    // Enabled again before the caller activates its window.
    for (HWND top : disabled)
        if (is_window(top))
            enable_window(top, true);

    if (!m_path)
        return std::nullopt;
    std::string gbk;
    if (!utf8_to_gbk(*m_path, gbk, InvalidBytes::Fail)) {
        std::fprintf(
            stderr,
            "gtk: the chosen name \"%s\" has characters GBK cannot hold; the dialog counts "
            "as cancelled\n",
            display_name(*m_path).c_str());
        return std::nullopt;
    }
    return gbk;
}

void GtkFileChooser::on_response(GtkWidget*, int response, void* self) {
    auto& chooser = *static_cast<GtkFileChooser*>(self);
    if (response == GTK_RESPONSE_ACCEPT || response == k_choose_folder) {
        std::optional<std::string> path = chooser.answered_path(response);
        // Nothing chosen yet, or a choice the flags refuse: the chooser
        // stays open.
        if (!path || !chooser.acceptable(*path))
            return;
        chooser.finish(std::move(path));
        return;
    }
    chooser.finish(std::nullopt);
}

void GtkFileChooser::finish(std::optional<std::string> utf8_path) {
    m_path = std::move(utf8_path);
    m_answered = true;
    // Wakes our loop, which may be waiting for a message.
    post_thread_message(WM_NULL);
}

std::optional<std::string> GtkFileChooser::answered_path(int response) const {
    ::GtkFileChooser* fc = as_chooser(m_dialog);
    bool folders = m_mode == Mode::Folder || m_mode == Mode::FolderOrFile;
    GlibText name(response == k_choose_folder ? gtk_file_chooser_get_current_folder(fc)
                                              : gtk_file_chooser_get_filename(fc));
    if (!name.text && folders) {
        // Accepting with nothing selected takes the folder being shown.
        name.text = gtk_file_chooser_get_current_folder(fc);
    }
    if (!name.text)
        return std::nullopt;
    return std::string(name.text);
}

bool GtkFileChooser::acceptable(const std::string& utf8_path) {
    bool path_must_exist = (m_flags & (OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST)) != 0;
    if (path_must_exist && (m_mode == Mode::Open || m_mode == Mode::Save)) {
        std::string folder = folder_of(utf8_path);
        if (!is_folder(folder)) {
            show_refusal("The folder \"" + display_name(folder) +
                         "\" does not exist.\nCheck the path and try again.");
            return false;
        }
    }
    if (m_mode == Mode::Open && (m_flags & OFN_FILEMUSTEXIST) &&
        !g_file_test(utf8_path.c_str(), G_FILE_TEST_EXISTS)) {
        show_refusal("The file \"" + display_name(utf8_path) +
                     "\" does not exist.\nCheck the file name and try again.");
        return false;
    }
    return true;
}

void GtkFileChooser::show_refusal(const std::string& utf8_text) {
    GtkWidget* box = gtk_message_dialog_new(
        GTK_WINDOW(m_dialog),
        static_cast<GtkDialogFlags>(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT),
        GTK_MESSAGE_WARNING, GTK_BUTTONS_OK, "%s", utf8_text.c_str());
    g_signal_connect(box, "response", G_CALLBACK(gtk_widget_destroy), nullptr);
    gtk_widget_show(box);
}

int GtkFileChooser::on_confirm_overwrite(GtkWidget*, void* self) {
    auto& chooser = *static_cast<GtkFileChooser*>(self);
    std::optional<std::string> path = chooser.answered_path(GTK_RESPONSE_ACCEPT);
    if (!path || chooser.m_confirm)
        return GTK_FILE_CHOOSER_CONFIRMATION_SELECT_AGAIN;
    if (!chooser.acceptable(*path))
        return GTK_FILE_CHOOSER_CONFIRMATION_SELECT_AGAIN;
    chooser.m_pending = *path;
    GlibText base(g_path_get_basename(path->c_str()));
    GlibText folder(g_path_get_basename(folder_of(*path).c_str()));
    GtkWidget* box = gtk_message_dialog_new(
        GTK_WINDOW(chooser.m_dialog),
        static_cast<GtkDialogFlags>(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT),
        GTK_MESSAGE_QUESTION, GTK_BUTTONS_NONE,
        g_dgettext("gtk30", "A file named “%s” already exists.  Do you want to replace it?"),
        display_name(base.text).c_str());
    gtk_message_dialog_format_secondary_text(
        GTK_MESSAGE_DIALOG(box),
        g_dgettext("gtk30",
                   "The file already exists in “%s”.  Replacing it will overwrite its contents."),
        display_name(folder.text).c_str());
    gtk_dialog_add_button(GTK_DIALOG(box), g_dgettext("gtk30", "_Cancel"), GTK_RESPONSE_CANCEL);
    gtk_dialog_add_button(GTK_DIALOG(box), g_dgettext("gtk30", "_Replace"), GTK_RESPONSE_ACCEPT);
    gtk_dialog_set_default_response(GTK_DIALOG(box), GTK_RESPONSE_ACCEPT);
    g_signal_connect(box, "response", G_CALLBACK(on_confirm_response), self);
    chooser.m_confirm = box;
    gtk_widget_show(box);
    // The chooser stays; the answer to the question ends it or not.
    return GTK_FILE_CHOOSER_CONFIRMATION_SELECT_AGAIN;
}

void GtkFileChooser::on_confirm_response(GtkWidget* box, int response, void* self) {
    auto& chooser = *static_cast<GtkFileChooser*>(self);
    chooser.m_confirm = nullptr;
    gtk_widget_destroy(box);
    if (response == GTK_RESPONSE_ACCEPT)
        chooser.finish(std::move(chooser.m_pending));
}

} // namespace platform
