// A GTK text view for end-to-end tests: the GTK program on either side of
// a drag. Application shortcuts (Ctrl+S) don't fire from a virtual
// keyboard, so instead of saving on demand it writes its whole text to OUT
// at start and at every change.
//
//   gtk_text_view OUT TEXT SELECTION_START SELECTION_LENGTH
//
// The window is titled "GTK text - " and OUT's file name. OUT.point gets
// "X Y", the middle of the selection relative to the window's inside, once
// the window shows; dragging from there drags the selection.
#include <gtk/gtk.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

struct View {
    std::string out;
    GtkWidget* window = nullptr;
    GtkTextBuffer* buffer = nullptr;
    GtkTextView* text = nullptr;
    int start = 0;
    int length = 0;
};

void WriteFile(const std::string& path, const std::string& content) {
    // Written aside and renamed: readers see the old text or the new one.
    const std::string aside = path + ".new";
    if (FILE* file = std::fopen(aside.c_str(), "wb")) {
        std::fwrite(content.data(), 1, content.size(), file);
        std::fclose(file);
        std::rename(aside.c_str(), path.c_str());
    }
}

void WriteText(GtkTextBuffer* buffer, gpointer data) {
    const auto* view = static_cast<const View*>(data);
    GtkTextIter begin;
    GtkTextIter end;
    gtk_text_buffer_get_bounds(buffer, &begin, &end);
    gchar* text = gtk_text_buffer_get_text(buffer, &begin, &end, TRUE);
    WriteFile(view->out, text);
    g_free(text);
}

gboolean WritePoint(gpointer data) {
    auto* view = static_cast<View*>(data);
    GtkTextIter first;
    GtkTextIter last;
    gtk_text_buffer_get_iter_at_offset(view->buffer, &first, view->start);
    gtk_text_buffer_get_iter_at_offset(view->buffer, &last, view->start + view->length);
    GdkRectangle a;
    GdkRectangle b;
    gtk_text_view_get_iter_location(view->text, &first, &a);
    gtk_text_view_get_iter_location(view->text, &last, &b);
    int wx = 0;
    int wy = 0;
    gtk_text_view_buffer_to_window_coords(view->text, GTK_TEXT_WINDOW_WIDGET, (a.x + b.x) / 2,
                                          a.y + a.height / 2, &wx, &wy);
    int x = 0;
    int y = 0;
    gtk_widget_translate_coordinates(GTK_WIDGET(view->text), view->window, wx, wy, &x, &y);
    WriteFile(view->out + ".point", std::to_string(x) + " " + std::to_string(y) + "\n");
    return G_SOURCE_REMOVE;
}

} // namespace

int main(int argc, char* argv[]) {
    gtk_init(&argc, &argv);
    if (argc != 5) {
        std::fprintf(stderr, "usage: gtk_text_view OUT TEXT SELECTION_START SELECTION_LENGTH\n");
        return 2;
    }
    View view;
    view.out = argv[1];
    view.start = std::atoi(argv[3]);
    view.length = std::atoi(argv[4]);

    view.window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gchar* name = g_path_get_basename(argv[1]);
    const std::string title = std::string("GTK text - ") + name;
    g_free(name);
    gtk_window_set_title(GTK_WINDOW(view.window), title.c_str());
    gtk_window_set_default_size(GTK_WINDOW(view.window), 600, 300);
    g_signal_connect(view.window, "destroy", G_CALLBACK(gtk_main_quit), nullptr);

    GtkWidget* text = gtk_text_view_new();
    view.text = GTK_TEXT_VIEW(text);
    view.buffer = gtk_text_view_get_buffer(view.text);
    gtk_text_buffer_set_text(view.buffer, argv[2], -1);
    GtkTextIter first;
    GtkTextIter last;
    gtk_text_buffer_get_iter_at_offset(view.buffer, &first, view.start);
    gtk_text_buffer_get_iter_at_offset(view.buffer, &last, view.start + view.length);
    gtk_text_buffer_select_range(view.buffer, &first, &last);
    gtk_container_add(GTK_CONTAINER(view.window), text);

    WriteText(view.buffer, &view);
    g_signal_connect(view.buffer, "changed", G_CALLBACK(WriteText), &view);
    gtk_widget_show_all(view.window);
    g_timeout_add(300, WritePoint, &view);
    gtk_main();
    return 0;
}
