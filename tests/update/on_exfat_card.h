// Update tests on a real exFAT card, the file system of the tool's SDXC
// card: each test has an empty card (an image mounted through exfat-fuse,
// found case-insensitive as the tool's card is) and the reference server's
// data. Every card a test mounts must be found clean by fsck.exfat when it
// is taken out, and the cards, their images and the server go whatever the
// test's outcome. Without root, loop devices, FUSE or the exFAT tools the
// tests are skipped, naming the reason.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/support/exfat_card.h"
#include "tests/support/process.h"
#include "tests/support/temp_card.h"
#include "tests/update/server_data.h"

namespace testing_support {

class OnExfatCard : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Starts the reference server on data; false after a failure was reported.
  bool StartServer();
  // The path of an image file named name in the test's folder.
  std::string ImagePath(const std::string& name) const;
  // Mounts an image as a further card; null after a failure was reported.
  ExfatCard* Mount(const std::string& image);
  // Takes a card out; fsck.exfat must find it clean. Whether it did.
  bool Eject(ExfatCard* taken);
  // Runs "./koral70.exe /b" in the card's root against the server, started
  // through wrapper (a program and its arguments) when one is given.
  ProcessResult RunClient(const ExfatCard& on, const Environment& extra = {},
                          const std::vector<std::string>& wrapper = {}) const;

  const std::string client = ReadFile(ClientBinary());
  ServerData data;
  std::unique_ptr<ServerProcess> server;
  ExfatCard* card = nullptr;  // the test's first card

 private:
  std::string m_folder;
  std::vector<std::unique_ptr<ExfatCard>> m_cards;
};

}  // namespace testing_support
