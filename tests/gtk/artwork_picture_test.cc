// A station picture that exists but does not decode, or claims a size too large to decode, is
// passed over like a missing file; a large one is scaled as it loads.
#include "artwork_picture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "radio_app.h"
#include "radio_fixture.h"

namespace gtktest {
namespace {

using Candidates = std::vector<std::string>;

// The start of a PNG file that claims a picture of `width` by `height` grey pixels: enough for
// its size to be read, far too little to decode.
std::string PngClaiming(uint32_t width, uint32_t height) {
  const auto crc = [](const std::string& bytes) {
    uint32_t c = 0xFFFFFFFFu;
    for (const char b : bytes) {
      c ^= static_cast<uint8_t>(b);
      for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
    }
    return ~c;
  };
  const auto be32 = [](uint32_t v) {
    return std::string{static_cast<char>(v >> 24), static_cast<char>(v >> 16),
                       static_cast<char>(v >> 8), static_cast<char>(v)};
  };
  const std::string header =
      "IHDR" + be32(width) + be32(height) + std::string("\x08\x00\x00\x00\x00", 5);
  return "\x89PNG\r\n\x1a\n" + be32(13) + header + be32(crc(header)) + std::string(64, '\0');
}

TEST(ArtworkPicture, LaterCandidatesFollowTheLookupOrder) {
  using host::gtk::LaterArtworkCandidates;
  EXPECT_EQ(LaterArtworkCandidates("/a/RadioArt/PI4660.png", "8750", true),
            (Candidates{"/a/RadioArt/PI4660.jpg", "/a/RadioArt/PI4660.gif", "/a/RadioArt/8750.png",
                        "/a/RadioArt/8750.jpg", "/a/RadioArt/8750.gif", "/a/RadioArt/radio.png",
                        "/a/RadioArt/radio.jpg", "/a/RadioArt/radio.gif"}));
  EXPECT_EQ(LaterArtworkCandidates("/a/8750.jpg", "8750", false),
            (Candidates{"/a/8750.gif", "/a/radio.jpg", "/a/radio.gif"}));
  EXPECT_EQ(LaterArtworkCandidates("radio.gif", "8750", true), Candidates{});
  EXPECT_EQ(LaterArtworkCandidates("/s/unmuted.png", "8750", true),
            (Candidates{"/s/unmuted.jpg", "/s/unmuted.gif"}));
  EXPECT_EQ(LaterArtworkCandidates("/s/picture.bmp", "8750", true), Candidates{});
}

TEST(ArtworkPicture, APictureThatDoesNotDecodeGivesWayToTheNextCandidate) {
  gtk_init();
  Scratch art;
  std::ofstream(art.path() + "PI4660.png") << "not a picture";
  std::filesystem::copy_file(host::gtk::ShippedArtFolder(HALVANE_BIN_DIR) + "RadioArt/radio.png",
                             art.path() + "8750.gif");
  GtkWidget* picture = g_object_ref_sink(gtk_picture_new());
  host::gtk::ArtworkPicture shown;
  shown.Show(picture, art.path() + "PI4660.png", "8750", true);
  EXPECT_EQ(shown.shownFile(), art.path() + "8750.gif");
  EXPECT_NE(gtk_picture_get_paintable(GTK_PICTURE(picture)), nullptr);

  std::filesystem::remove(art.path() + "8750.gif");
  shown.Show(picture, art.path() + "PI4660.jpg", "8750", true);
  shown.Show(picture, art.path() + "PI4660.png", "8750", true);
  EXPECT_EQ(shown.shownFile(), "");
  EXPECT_EQ(gtk_picture_get_paintable(GTK_PICTURE(picture)), nullptr);
  g_object_unref(picture);
}

TEST(ArtworkPicture, APictureTooLargeIsNotDecodedAndALargeOneIsScaled) {
  gtk_init();
  Scratch art;
  std::ofstream(art.path() + "PI4660.png", std::ios::binary) << PngClaiming(40000, 40000);
  std::ofstream(art.path() + "PI4660.jpg", std::ios::binary) << PngClaiming(8000, 8000);
  GdkPixbuf* wide = gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, 3000, 1500);
  gdk_pixbuf_fill(wide, 0x336699ffu);
  ASSERT_TRUE(gdk_pixbuf_save(wide, (art.path() + "8750.png").c_str(), "png", nullptr, nullptr));
  g_object_unref(wide);
  GtkWidget* picture = g_object_ref_sink(gtk_picture_new());
  host::gtk::ArtworkPicture shown;
  shown.Show(picture, art.path() + "PI4660.png", "8750", true);
  EXPECT_EQ(shown.shownFile(), art.path() + "8750.png");
  GdkPaintable* paintable = gtk_picture_get_paintable(GTK_PICTURE(picture));
  ASSERT_NE(paintable, nullptr);
  EXPECT_EQ(gdk_paintable_get_intrinsic_width(paintable), host::gtk::kShownPictureSide);
  EXPECT_EQ(gdk_paintable_get_intrinsic_height(paintable), host::gtk::kShownPictureSide / 2);
  g_object_unref(picture);
}

}  // namespace
}  // namespace gtktest
