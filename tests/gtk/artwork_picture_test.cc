// A station picture that exists but does not decode is passed over like a missing file.
#include "artwork_picture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "radio_app.h"
#include "radio_fixture.h"

namespace gtktest {
namespace {

using Candidates = std::vector<std::string>;

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

}  // namespace
}  // namespace gtktest
