// Pairing a radio node with the capture device of its own sound card, on sysfs trees laid out as
// the kernel lays out a USB receiver and a PCI tuner card.
#include "audio/capture_device.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace halvane::audio_test {
namespace {

namespace fs = std::filesystem;
using driver::audio::FindCaptureDevice;

class SysfsTree {
 public:
  SysfsTree() {
    char name[] = "/tmp/halvane-sysfs.XXXXXX";
    root_ = mkdtemp(name);
  }
  ~SysfsTree() {
    std::error_code error;
    fs::remove_all(root_, error);
  }
  // A device folder; `usb` marks it as a USB device (it has an idVendor).
  void Device(const std::string& path, bool usb = false) {
    fs::create_directories(root_ / "devices" / path);
    if (usb) std::ofstream(root_ / "devices" / path / "idVendor") << "10c4\n";
  }
  // A class entry (class/video4linux/radio0, class/sound/card1) whose device link points at a
  // device folder, with the entry's own files (pcmC1D0c).
  void ClassEntry(const std::string& entry, const std::string& device,
                  const std::vector<std::string>& files = {}) {
    fs::create_directories(root_ / "class" / entry);
    fs::create_directory_symlink(root_ / "devices" / device, root_ / "class" / entry / "device");
    for (const std::string& f : files) fs::create_directories(root_ / "class" / entry / f);
  }
  std::string root() const { return root_.string(); }

 private:
  fs::path root_;
};

TEST(CaptureDevice, FindsTheSoundCardOfTheRadiosOwnDevice) {
  SysfsTree sysfs;
  // A USB receiver: radio and sound card are interfaces of one USB device; an onboard card and a
  // second USB device stand beside it.
  sysfs.Device("pci0000:00/0000:00:1f.3");
  sysfs.ClassEntry("sound/card0", "pci0000:00/0000:00:1f.3", {"pcmC0D0c", "pcmC0D0p"});
  sysfs.Device("pci0000:00/0000:00:14.0/usb1/1-2", true);
  sysfs.Device("pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.0");
  sysfs.Device("pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.2");
  sysfs.ClassEntry("video4linux/radio0", "pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.2");
  sysfs.ClassEntry("sound/card2", "pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.0",
                   {"pcmC2D1c", "pcmC2D3c", "controlC2"});
  sysfs.Device("pci0000:00/0000:00:14.0/usb1/1-3", true);
  sysfs.Device("pci0000:00/0000:00:14.0/usb1/1-3/1-3:1.0");
  sysfs.ClassEntry("sound/card1", "pci0000:00/0000:00:14.0/usb1/1-3/1-3:1.0", {"pcmC1D0c"});
  // A PCI tuner card whose radio node and sound card are the card itself.
  sysfs.Device("pci0000:00/0000:00:05.0");
  sysfs.ClassEntry("video4linux/radio1", "pci0000:00/0000:00:05.0");
  sysfs.ClassEntry("sound/card3", "pci0000:00/0000:00:05.0", {"pcmC3D0c"});
  // A radio without any sound of its own: a PCI board beside the onboard card.
  sysfs.Device("pci0000:00/0000:00:06.0");
  sysfs.ClassEntry("video4linux/radio2", "pci0000:00/0000:00:06.0");

  const struct {
    const char* radio;
    std::optional<std::string> capture;
  } cases[] = {
      {"/dev/radio0", "hw:2,1"},
      {"/dev/radio1", "hw:3,0"},
      {"/dev/radio2", std::nullopt},
      {"/dev/radio7", std::nullopt},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FindCaptureDevice(c.radio, sysfs.root()), c.capture) << c.radio;
}

}  // namespace
}  // namespace halvane::audio_test
