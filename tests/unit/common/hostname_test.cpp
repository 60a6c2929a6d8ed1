#include <gtest/gtest.h>

#include <string>

#include "common/hostname.h"

namespace {

TEST(LookupHostName, AnythingButABareDottedAddressIsUnknown) {
  EXPECT_EQ(LookupHostName(""), "Unknown IP");
  EXPECT_EQ(LookupHostName("bot"), "Unknown IP");
  EXPECT_EQ(LookupHostName("loopback"), "Unknown IP");
  EXPECT_EQ(LookupHostName("127.0.0.1:27960"), "Unknown IP");
  EXPECT_EQ(LookupHostName("256.1.1.1"), "Unknown IP");
  EXPECT_EQ(LookupHostName(std::string("127.0.0.1\0x", 11)), "Unknown IP");
}

TEST(LookupHostName, NamesTheLoopbackAddress) {
  // Every host file names 127.0.0.1; the look-up goes no further than that.
  const std::string name = LookupHostName("127.0.0.1");
  EXPECT_NE(name, "Unknown IP");
  EXPECT_FALSE(name.empty());
}

}  // namespace
