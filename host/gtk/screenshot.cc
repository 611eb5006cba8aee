#include "screenshot.h"

namespace host::gtk {

bool SaveScreenshot(GtkWidget* widget, const std::string& file, std::string& error) {
  const int width = gtk_widget_get_width(widget), height = gtk_widget_get_height(widget);
  GtkNative* native = gtk_widget_get_native(widget);
  GskRenderer* renderer = native != nullptr ? gtk_native_get_renderer(native) : nullptr;
  if (width <= 0 || height <= 0 || renderer == nullptr) {
    error = "the window is not shown yet";
    return false;
  }
  GdkPaintable* paintable = gtk_widget_paintable_new(widget);
  GtkSnapshot* snapshot = gtk_snapshot_new();
  gdk_paintable_snapshot(paintable, snapshot, width, height);
  GskRenderNode* node = gtk_snapshot_free_to_node(snapshot);
  g_object_unref(paintable);
  if (node == nullptr) {
    error = "the window has drawn nothing yet";
    return false;
  }
  // The window's own renderer draws it, exactly as on screen.
  const graphene_rect_t viewport =
      GRAPHENE_RECT_INIT(0, 0, static_cast<float>(width), static_cast<float>(height));
  GdkTexture* texture = gsk_renderer_render_texture(renderer, node, &viewport);
  gsk_render_node_unref(node);
  const bool saved = gdk_texture_save_to_png(texture, file.c_str());
  g_object_unref(texture);
  if (!saved) error = "can't write " + file;
  return saved;
}

}  // namespace host::gtk
