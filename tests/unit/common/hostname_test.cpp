#include <gtest/gtest.h>

#include <string>

#include "common/hostname.h"

namespace {

TEST(LookupHostName, AnythingButABareAddressIsUnknown) {
  for (const std::string& text : {std::string(), std::string("bot"), std::string("loopback"), std::string("127.0.0.1:27960"),
                                 std::string("256.1.1.1"), std::string("127.1"), std::string("127.0.0.1\0x", 11),
                                 std::string("[::1]:27960"), std::string("::1%no-such-interface"),
                                 std::string("2001:db8::5::1"), std::string("::1\0", 4), std::string("localhost")})
    EXPECT_EQ(LookupHostName(text), "Unknown IP") << text;
}

TEST(ParseIPv6Address, BareOrBracketedWithAnOptionalZone) {
  const std::pair<std::string, bool> texts[] = {
      {"::1", true},          {"[::1]", true},        {"2001:db8::5", true},  {"fe80::1%lo", true},
      {"::ffff:10.0.0.1", true}, {"127.0.0.1", false}, {"[::1", false},       {"[::1]:27910", false},
      {"host.example", false}, {"", false},            {"[]", false},         {"1:2:3:4:5:6:7:8:9", false},
  };
  for (const auto& [text, valid] : texts) {
    sockaddr_in6 address{};
    EXPECT_EQ(ParseIPv6Address(text, address), valid) << text;
    if (valid) {
      EXPECT_EQ(address.sin6_family, AF_INET6) << text;
    }
  }
  sockaddr_in6 loopback{};
  ASSERT_TRUE(ParseIPv6Address("[::1]", loopback));
  EXPECT_TRUE(IN6_IS_ADDR_LOOPBACK(&loopback.sin6_addr));
}

TEST(LookupHostName, NamesTheLoopbackAddress) {
  // Every host file names 127.0.0.1; the look-up goes no further than that.
  const std::string name = LookupHostName("127.0.0.1");
  EXPECT_NE(name, "Unknown IP");
  EXPECT_FALSE(name.empty());
}

}  // namespace
