// The yardstick for the arm controller's memory on the GTK display: a bare
// GTK 3 window of the controller's size that draws the controller's button
// and label texts with Pango, in the family list and pixel size the
// platform's fonts use (platform/drawing/Font.cpp), and does nothing else.
// It is the one bench program that calls GTK directly, so that what the
// controller adds above a plain GTK program can be told apart from what GTK
// itself costs (scripts/bench-app.sh sets their memory side by side).
//
// Run: build/<dir>/bench/armctl_bare_gtk_window   (under an X display; it
// runs until it is ended)

#include <gtk/gtk.h>

namespace {

struct Text {
    int x;
    int y;
    const char* utf8;
};

// The controller's captions at their places in the window.
constexpr Text Texts[] = {
    {280, 40, "帮助"},  {104, 96, "load"},     {20, 472, "Save"},    {112, 432, "Stop"},
    {33, 558, "Cycle"}, {33, 533, "Speed"},    {20, 432, "Clean"},   {112, 392, "Run"},
    {20, 392, "Add"},   {14, 43, "Serial"},    {168, 40, "Open"},    {10, 308, "Base"},
    {10, 245, "Elbow"}, {10, 181, "Shoulder"}, {10, 117, "Gripper"}, {286, 309, "标签"},
    {286, 245, "标签"}, {287, 180, "标签"},    {288, 117, "标签"},   {88, 559, "1"},
    {88, 536, "10"},
};

constexpr const char* Families =
    "WenQuanYi Micro Hei,Noto Sans CJK SC,Droid Sans Fallback,sans-serif";

gboolean on_draw(GtkWidget*, cairo_t* cr, gpointer) {
    cairo_set_source_rgb(cr, 0.94, 0.94, 0.94);
    cairo_paint(cr);
    cairo_set_source_rgb(cr, 0, 0, 0);
    PangoLayout* layout = pango_cairo_create_layout(cr);
    PangoFontDescription* font = pango_font_description_from_string(Families);
    pango_font_description_set_absolute_size(font, 12 * PANGO_SCALE);
    pango_layout_set_font_description(layout, font);
    for (const Text& text : Texts) {
        pango_layout_set_text(layout, text.utf8, -1);
        cairo_move_to(cr, text.x, text.y);
        pango_cairo_show_layout(cr, layout);
    }
    pango_font_description_free(font);
    g_object_unref(layout);
    return TRUE;
}

} // namespace

int main(int argc, char** argv) {
    gtk_init(&argc, &argv);
    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(window),
                         "Robotic arm controller           Designed By Talvoric         V02");
    gtk_window_set_default_size(GTK_WINDOW(window), 985, 665);
    GtkWidget* area = gtk_drawing_area_new();
    g_signal_connect(area, "draw", G_CALLBACK(on_draw), nullptr);
    gtk_container_add(GTK_CONTAINER(window), area);
    g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), nullptr);
    gtk_widget_show_all(window);
    gtk_main();
    return 0;
}
