// A real exFAT card for tests, as the tool's SDXC card is formatted: an
// image file attached to a loop device and mounted through exfat-fuse, the
// FUSE daemon that serves it (which a test can stop, freezing the card for
// every reader and writer), and fsck.exfat's verdict when it is taken out.
// Needs root, loop devices, /dev/fuse, exfatprogs and exfat-fuse.
#pragma once

#include <sys/types.h>

#include <string>

namespace testing_support {

// Why no exFAT card can be mounted here, or "" when one can.
std::string WhyNoExfatCards();

// What fsck.exfat said of an image or a device.
struct FsckReport {
  int status = -1;  // 0: nothing wrong; 1: errors mended; others: errors left, or no check
  std::string text;
  bool Clean() const;  // status 0 and "clean" in the text
};

// Makes image a new empty card of sizeMiB formatted exFAT, labelled
// KORAL70; "" or what failed.
std::string FormatExfatImage(const std::string& image, int sizeMiB);
// fsck.exfat -n on an image: checks it and changes nothing.
FsckReport CheckExfatImage(const std::string& image);
// fsck.exfat -y on an image: mends what it can.
FsckReport RepairExfatImage(const std::string& image);

class ExfatCard {
 public:
  // Attaches the image to a free loop device and mounts it on a new folder
  // beside it (the image's name + ".root").
  explicit ExfatCard(const std::string& image);
  // Ejects the card when that was not done.
  ~ExfatCard();
  ExfatCard(const ExfatCard&) = delete;
  ExfatCard& operator=(const ExfatCard&) = delete;

  // "" once mounted, else what failed.
  const std::string& Problem() const { return m_problem; }
  const std::string& Image() const { return m_image; }
  const std::string& Root() const { return m_root; }  // the mount point

  // Stops the daemon and returns once all its threads are stopped: every
  // access to the card waits from then on, and the image holds what the
  // daemon had handed to the device. Thaw resumes it.
  bool Freeze();
  void Thaw();

  // Unmounts the card, waits for the daemon to end, checks the file system
  // (fsck.exfat -n on the device), detaches the device and removes the
  // mount point. The image stays.
  FsckReport Eject();

 private:
  std::string m_image, m_root, m_device;
  std::string m_problem;
  pid_t m_daemon = -1;  // the mount.exfat-fuse process that serves the card
  bool m_mounted = false;
  bool m_frozen = false;
  bool m_ejected = false;
};

}  // namespace testing_support
