// Pictures for the artwork widgets. The plug-in answers the path of the first candidate file that
// exists; a file that exists but does not decode, or holds a picture too large to show, is passed
// over like a missing one, and the next candidate of the same lookup order is shown instead.
#ifndef HALVANE_HOST_GTK_ARTWORK_PICTURE_H
#define HALVANE_HOST_GTK_ARTWORK_PICTURE_H

#include <gtk/gtk.h>

#include <cstdint>
#include <string>
#include <vector>

#include "gobject_ptr.h"

namespace host::gtk {

// The largest picture decoded: each side, and all its pixels (64 MiB of colour at most).
inline constexpr int kLargestPictureSide = 8192;
inline constexpr int64_t kMostPicturePixels = int64_t{4096} * 4096;
// A picture larger than this on a side is scaled down to it while it loads.
inline constexpr int kShownPictureSide = 1024;

// The candidates the plug-in's lookup would have tried after `path`, in order: the other picture
// types of the same name, then the station's frequency (`frequencyName`, "8750"), then "radio".
// `pngTried`: whether the lookup tries ".png" at all. A name outside that order (a mute picture)
// has only its other picture types after it.
std::vector<std::string> LaterArtworkCandidates(const std::string& path,
                                                const std::string& frequencyName, bool pngTried);

// One artwork widget's picture, decoded again only when the answer changes.
class ArtworkPicture {
 public:
  // Shows the picture for the plug-in's answer ("" for none) on a GtkPicture or GtkImage.
  void Show(GtkWidget* widget, const std::string& answer, const std::string& frequencyName,
            bool pngTried);
  // The file shown, "" for none.
  const std::string& shownFile() const { return shownFile_; }

 private:
  std::string answer_ = "\x01";  // no answer yet
  std::string shownFile_;
  GObjectPtr<GdkTexture> texture_;
};

}  // namespace host::gtk

#endif
