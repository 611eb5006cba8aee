#include "artwork_picture.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace host::gtk {
namespace {

constexpr std::array<const char*, 3> kTypes = {".png", ".jpg", ".gif"};

// Decodes the picture in `file`, or null. Its size is read from its header first: a picture
// wider or taller than kLargestPictureSide, or of more than kMostPicturePixels, is not decoded
// at all (a small file can claim a picture of gigabytes), and one larger than the screen shows
// is scaled while it loads.
GdkTexture* DecodePicture(const std::string& file) {
  int width = 0, height = 0;
  if (gdk_pixbuf_get_file_info(file.c_str(), &width, &height) == nullptr) return nullptr;
  if (width <= 0 || height <= 0 || width > kLargestPictureSide || height > kLargestPictureSide ||
      int64_t{width} * height > kMostPicturePixels)
    return nullptr;
  GError* error = nullptr;
  GdkTexture* texture = nullptr;
  if (width > kShownPictureSide || height > kShownPictureSide) {
    GdkPixbuf* pixbuf = gdk_pixbuf_new_from_file_at_scale(file.c_str(), kShownPictureSide,
                                                          kShownPictureSide, TRUE, &error);
    if (pixbuf != nullptr) {
      texture = gdk_texture_new_for_pixbuf(pixbuf);
      g_object_unref(pixbuf);
    }
  } else {
    texture = gdk_texture_new_from_filename(file.c_str(), &error);
  }
  g_clear_error(&error);
  return texture;
}

}  // namespace

std::vector<std::string> LaterArtworkCandidates(const std::string& path,
                                                const std::string& frequencyName, bool pngTried) {
  const size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  const std::string name = path.substr(folder.size());
  const size_t dot = name.rfind('.');
  if (dot == std::string::npos) return {};
  const std::string stem = name.substr(0, dot), type = name.substr(dot);
  std::vector<std::string> types(kTypes.begin() + (pngTried ? 0 : 1), kTypes.end());
  auto at = std::find(types.begin(), types.end(), type);
  if (at == types.end()) return {};

  std::vector<std::string> candidates;
  for (auto t = at + 1; t != types.end(); ++t) candidates.push_back(folder + stem + *t);
  std::vector<std::string> laterStems;
  if (stem.rfind("PI", 0) == 0) laterStems = {frequencyName, "radio"};
  if (stem == frequencyName) laterStems = {"radio"};
  for (const std::string& s : laterStems)
    for (const std::string& t : types) candidates.push_back(folder + s + t);
  return candidates;
}

void ArtworkPicture::Show(GtkWidget* widget, const std::string& answer,
                          const std::string& frequencyName, bool pngTried) {
  if (answer == answer_) return;
  answer_ = answer;
  texture_.reset();
  shownFile_.clear();
  if (!answer.empty()) {
    std::vector<std::string> files{answer};
    for (std::string& later : LaterArtworkCandidates(answer, frequencyName, pngTried))
      files.push_back(std::move(later));
    for (const std::string& file : files) {
      if (!g_file_test(file.c_str(), G_FILE_TEST_IS_REGULAR)) continue;
      GdkTexture* texture = DecodePicture(file);
      if (texture == nullptr) continue;
      texture_.reset(texture);
      shownFile_ = file;
      break;
    }
  }
  GdkPaintable* paintable = texture_ ? GDK_PAINTABLE(texture_.get()) : nullptr;
  if (GTK_IS_PICTURE(widget)) gtk_picture_set_paintable(GTK_PICTURE(widget), paintable);
  if (GTK_IS_IMAGE(widget)) gtk_image_set_from_paintable(GTK_IMAGE(widget), paintable);
}

}  // namespace host::gtk
