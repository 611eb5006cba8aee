#include "artwork_picture.h"

#include <algorithm>
#include <array>

namespace host::gtk {
namespace {

constexpr std::array<const char*, 3> kTypes = {".png", ".jpg", ".gif"};

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
      GError* error = nullptr;
      GdkTexture* texture = gdk_texture_new_from_filename(file.c_str(), &error);
      if (texture == nullptr) {
        g_error_free(error);
        continue;
      }
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
