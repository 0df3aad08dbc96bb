#pragma once

// The native GTK chooser behind the open, save and browse-for-folder
// dialogs. It runs inside our own message loop rather than gtk_dialog_run,
// so our timers and posted messages keep running while it shows, and every
// enabled top-level window of ours is disabled meanwhile. Request texts are
// GBK; the chosen path comes back as GBK.

#include <platform/dialogs/Dialogs.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

typedef struct _GtkWidget GtkWidget;
typedef struct _GtkWindow GtkWindow;
typedef struct _GtkFileFilter GtkFileFilter;

namespace platform {

class GtkFileChooser {
  public:
    enum class Mode {
        Open,
        Save,
        Folder,
        // A file may be chosen as well as a folder: the open chooser with a
        // button that takes the folder being shown.
        FolderOrFile,
    };

    // The file dialog a request describes, answered; nothing when cancelled.
    static std::optional<FileDialogAnswer> run_file_dialog(const FileDialogRequest& request,
                                                           GtkWindow* parent);
    static std::optional<std::string> run_folder_dialog(const FolderDialogRequest& request,
                                                        GtkWindow* parent);

    GtkFileChooser(Mode mode, std::string_view gbk_title, GtkWindow* parent);
    ~GtkFileChooser();
    GtkFileChooser(const GtkFileChooser&) = delete;
    GtkFileChooser& operator=(const GtkFileChooser&) = delete;

    // Where the chooser starts and the name it proposes, GBK. A name with a
    // folder part starts in that folder.
    void set_start(std::string_view gbk_folder, std::string_view gbk_name);
    // Pairs of description and ';'-separated patterns, GBK; `index` is 1-based.
    void set_filters(const std::vector<std::pair<std::string, std::string>>& gbk_filters,
                     int index);
    // OFN_OVERWRITEPROMPT, OFN_FILEMUSTEXIST and OFN_PATHMUSTEXIST are honoured.
    void set_flags(std::uint32_t ofn_flags);

    // Shows the chooser and dispatches our messages until the user answers
    // or a quit request arrives (which is put back for the outer loop).
    // Returns the chosen path as GBK, or nothing when cancelled.
    std::optional<std::string> run();
    // The 1-based filter shown last (the initial index when there are none).
    int filter_index() const;

  private:
    static void on_response(GtkWidget* dialog, int response, void* self);
    static int on_confirm_overwrite(GtkWidget* dialog, void* self);
    static void on_confirm_response(GtkWidget* box, int response, void* self);
    // Ends the loop with this answer (nothing: cancelled).
    void finish(std::optional<std::string> utf8_path);
    // The path the answer names, UTF-8; nothing when it names none.
    std::optional<std::string> answered_path(int response) const;
    // Whether the flags allow this path; tells the user why not.
    bool acceptable(const std::string& utf8_path);
    void show_refusal(const std::string& utf8_text);

    Mode m_mode;
    GtkWidget* m_dialog = nullptr;
    std::vector<GtkFileFilter*> m_filters;
    int m_initial_filter = 1;
    std::uint32_t m_flags = 0;
    bool m_answered = false;
    std::optional<std::string> m_path; // UTF-8
    // The question whether to replace an existing file, while it shows, and
    // the path it is about.
    GtkWidget* m_confirm = nullptr;
    std::string m_pending;
};

} // namespace platform
