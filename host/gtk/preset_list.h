// The screen's preset list control ("PL") shown as a GtkListView: the rows and the highlighted row
// the plug-in wrote, and the user's tap on a row, which chooses it and recalls its preset.
#ifndef HALVANE_HOST_GTK_PRESET_LIST_H
#define HALVANE_HOST_GTK_PRESET_LIST_H

#include <gtk/gtk.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "gobject_ptr.h"
#include "screen_objects.h"

namespace host::gtk {

class PresetList {
 public:
  // `onChosen` runs with the 0-based row the user chose, after the screen's PL Value and PLValue
  // have been set to it.
  PresetList(GtkListView* view, ScreenObject& screen, std::function<void(int32_t)> onChosen);
  ~PresetList();
  PresetList(const PresetList&) = delete;
  PresetList& operator=(const PresetList&) = delete;

  // Shows the list as the plug-in left it; rows are replaced only when they changed.
  void Sync();

 private:
  static void OnSelected(GObject*, GParamSpec*, gpointer data);

  GtkListView* view_;
  ScreenObject& screen_;
  std::function<void(int32_t)> onChosen_;
  GtkStringList* rows_;  // owned by selection_
  GObjectPtr<GtkSingleSelection> selection_;
  std::vector<std::string> shown_;
  guint scrolledTo_ = GTK_INVALID_LIST_POSITION;  // the row last brought into view
  bool syncing_ = false;  // selection changes made by Sync are not the user's
};

}  // namespace host::gtk

#endif
