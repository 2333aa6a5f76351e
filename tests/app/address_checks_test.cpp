#include "app/address_checks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/window_texts.h"

namespace korvante {
namespace {

NetworkProfile Profile(const char* ip, const char* mask, const char* gateway = "") {
  NetworkProfile p;
  p.ip = ip;
  p.mask = mask;
  p.gateway = gateway;
  return p;
}

// The computer: the shop's cable with its router, and a WiFi network without one.
const std::vector<NetworkProfile> kComputer = {
    Profile("192.168.77.2", "255.255.255.0", "192.168.77.254"),
    Profile("10.30.0.2", "255.255.255.0")};

TEST(AddressChecks, RefusalsOneTable) {
  struct Case {
    LanAddresses addresses;
    LanPath path;
    const char16_t* message;  // nullptr: may be sent
  };
  const Case cases[] = {
      {{"192.168.77.50", "255.255.255.0", "192.168.77.1"}, LanPath::kBroadcast, nullptr},
      {{"192.168.77.50", "255.255.255.0", "0.0.0.0"}, LanPath::kBroadcast, nullptr},
      {{"172.16.0.9", "255.255.0.0", "172.16.255.1"}, LanPath::kBroadcast, nullptr},
      {{"192.168.77.50", "255.255.255.254", "192.168.77.51"}, LanPath::kBroadcast, nullptr},
      // The mask is a run of ones then zeros, and not 0.0.0.0, where it is sent.
      {{"192.168.77.50", "255.0.255.0", "192.168.77.1"},
       LanPath::kBroadcast,
       u"Subnet mask 255.0.255.0 không hợp lệ. Subnet mask thường dùng là 255.255.255.0."},
      {{"192.168.77.50", "0.0.0.0", "0.0.0.0"},
       LanPath::kBroadcast,
       u"Subnet mask 0.0.0.0 không hợp lệ. Subnet mask thường dùng là 255.255.255.0."},
      {{"192.168.77.50", "255.255.255.1", "192.168.77.1"},
       LanPath::kBroadcast,
       u"Subnet mask 255.255.255.1 không hợp lệ. Subnet mask thường dùng là 255.255.255.0."},
      {{"192.168.77.50", "255.0.255.0", "192.168.77.1"}, LanPath::kTcp, nullptr},  // not sent
      // Addresses no printer can have.
      {{"0.1.2.3", "255.255.255.0", "0.0.0.0"},
       LanPath::kUsb,
       u"IP mới 0.1.2.3 không dùng được cho máy in. Hãy chọn IP khác."},
      {{"255.255.255.255", "255.255.0.0", "0.0.0.0"},
       LanPath::kTcp,
       u"IP mới 255.255.255.255 không dùng được cho máy in. Hãy chọn IP khác."},
      {{"224.0.0.5", "255.255.255.0", "0.0.0.0"},
       LanPath::kTcp,
       u"IP mới 224.0.0.5 không dùng được cho máy in. Hãy chọn IP khác."},
      // The computer's own addresses, on every path.
      {{"10.30.0.2", "255.255.255.0", "10.30.0.1"},
       LanPath::kUsb,
       u"IP mới 10.30.0.2 là IP của chính máy tính này. Hãy chọn IP khác."},
      {{"192.168.77.2", "255.255.255.0", "192.168.77.1"},
       LanPath::kBroadcast,
       u"IP mới 192.168.77.2 là IP của chính máy tính này. Hãy chọn IP khác."},
      // The gateway of the form, and the computer's.
      {{"192.168.77.1", "255.255.255.0", "192.168.77.1"},
       LanPath::kTcp,
       u"IP mới 192.168.77.1 là IP của Gateway (modem, router). Hãy chọn IP khác."},
      {{"192.168.77.254", "255.255.255.0", "192.168.77.1"},
       LanPath::kBroadcast,
       u"IP mới 192.168.77.254 là IP của Gateway (modem, router). Hãy chọn IP khác."},
      // Network and broadcast addresses of the mask; a broken mask is no
      // measure where it is not sent.
      {{"192.168.77.0", "255.255.255.0", "192.168.77.1"},
       LanPath::kUsb,
       u"IP mới 192.168.77.0 là địa chỉ mạng của dải IP (Subnet mask 255.255.255.0). Hãy chọn IP "
       u"khác."},
      {{"192.168.77.255", "255.255.255.0", "192.168.77.1"},
       LanPath::kBroadcast,
       u"IP mới 192.168.77.255 là địa chỉ broadcast của dải IP (Subnet mask 255.255.255.0). Hãy "
       u"chọn IP khác."},
      {{"172.16.255.255", "255.255.0.0", "172.16.0.1"},
       LanPath::kTcp,
       u"IP mới 172.16.255.255 là địa chỉ broadcast của dải IP (Subnet mask 255.255.0.0). Hãy "
       u"chọn IP khác."},
      {{"192.168.77.255", "255.255.0.0", "192.168.77.1"}, LanPath::kBroadcast, nullptr},
      {{"192.168.77.0", "255.0.255.0", "192.168.77.1"}, LanPath::kTcp, nullptr},
      // A gateway outside the new address's network, where it is sent.
      {{"192.168.77.50", "255.255.255.0", "192.168.1.1"},
       LanPath::kBroadcast,
       u"Gateway 192.168.1.1 không cùng dải IP với IP mới 192.168.77.50 (Subnet mask "
       u"255.255.255.0). Hãy sửa Gateway hoặc Subnet mask."},
      {{"192.168.77.50", "255.255.255.0", "192.168.1.1"}, LanPath::kTcp, nullptr},
      {{"192.168.77.50", "255.255.255.0", "192.168.1.1"}, LanPath::kUsb, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.addresses.newIp + " " + c.addresses.mask + " " + c.addresses.gateway);
    const std::optional<std::u16string> refusal = RefuseLanChange(c.addresses, c.path, kComputer);
    if (c.message == nullptr) {
      EXPECT_EQ(refusal, std::nullopt);
    } else {
      EXPECT_EQ(refusal.value_or(u"(sent)"), c.message);
    }
  }
}

// Which network an address lies on decides the neighbour check, the question
// about an unreachable address, and the reason a send fails.
TEST(AddressChecks, WhichNetworkDecisions) {
  EXPECT_TRUE(OnComputersNetworks("192.168.77.9", kComputer));
  EXPECT_TRUE(OnComputersNetworks("10.30.0.222", kComputer));
  EXPECT_FALSE(OnComputersNetworks("192.168.78.9", kComputer));
  EXPECT_FALSE(OnComputersNetworks("10.30.0.222", {}));

  NetworkPrinter factory;
  factory.ip = "192.168.123.100";
  factory.mask = "255.255.255.0";
  factory.localIp = "10.30.0.2";
  NetworkPrinter routed;
  routed.ip = "172.30.0.100";  // typed, behind a router: no mask known, not heard
  NetworkPrinter shop;
  shop.ip = "192.168.77.100";
  shop.localIp = "192.168.77.2";
  // Off the computer's networks; off the link the printer sits on.
  const char16_t* off = u"không thuộc mạng nào của máy tính này";
  const char16_t* lost = u"không thuộc mạng mà máy in đang nối vào";
  struct Case {
    const char* newIp;
    const char* formMask;
    const NetworkPrinter* current;
    std::vector<NetworkProfile> profiles;
    const char16_t* question;  // a fragment; nullptr: nothing asked
  };
  const Case cases[] = {
      {"10.30.0.222", "255.255.255.0", &factory, kComputer, nullptr},      // moved in
      {"192.168.123.101", "255.255.255.0", &factory, kComputer, nullptr},  // stays where it is
      {"192.168.124.5", "255.255.255.0", &factory, kComputer, off},
      {"192.168.77.50", "255.255.255.0", &factory, kComputer, lost},  // the cable's network
      {"192.168.77.50", "255.255.255.0", &shop, kComputer, nullptr},
      {"10.30.0.50", "255.255.255.0", &shop, kComputer, lost},
      {"172.30.0.101", "255.255.255.0", &routed, kComputer, nullptr},  // the form's mask
      {"172.30.1.101", "255.255.0.0", &routed, kComputer, nullptr},
      {"172.30.1.101", "255.255.255.0", &routed, kComputer, off},
      {"172.30.1.101", "255.0.255.0", &routed, kComputer, off},       // then /24
      {"192.168.77.222", "255.255.255.0", &routed, kComputer, lost},  // the suggestion
      {"10.40.0.9", "255.255.255.0", nullptr, kComputer, off},        // over USB
      {"192.168.77.9", "255.255.255.0", nullptr, kComputer, nullptr},
      {"10.40.0.9", "255.255.255.0", nullptr, {}, nullptr},  // no network to judge by
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.newIp);
    const LanAddresses addresses{c.newIp, c.formMask, "0.0.0.0"};
    const std::optional<std::u16string> question = ReachQuestion(addresses, c.current, c.profiles);
    if (c.question == nullptr) {
      EXPECT_EQ(question, std::nullopt);
    } else {
      EXPECT_NE(question.value_or(u"").find(c.question), std::u16string::npos);
    }
  }
  EXPECT_EQ(ReachQuestion({"10.40.0.9", "255.255.255.0", "0.0.0.0"}, nullptr, kComputer),
            u"IP 10.40.0.9 không thuộc mạng nào của máy tính này. Sau khi đổi, máy tính này sẽ "
            u"không kết nối được với máy in. Vẫn đổi IP?");
  EXPECT_EQ(ReachQuestion({"192.168.77.222", "255.255.255.0", "0.0.0.0"}, &routed, kComputer),
            u"IP 192.168.77.222 không thuộc mạng mà máy in đang nối vào. Sau khi đổi, không máy "
            u"tính nào kết nối được với máy in, trừ khi máy in được chuyển sang mạng đó. Vẫn đổi "
            u"IP?");

  EXPECT_TRUE(HeardOutsideItsNetwork(factory, kComputer));
  NetworkPrinter moved = factory;
  moved.ip = "10.30.0.222";
  EXPECT_FALSE(HeardOutsideItsNetwork(moved, kComputer));
  EXPECT_FALSE(HeardOutsideItsNetwork(routed, kComputer));  // not heard: not judged
  NetworkPrinter gone = factory;
  gone.localIp = "10.99.0.2";
  EXPECT_FALSE(HeardOutsideItsNetwork(gone, kComputer));
  EXPECT_EQ(OtherSubnetFailure("192.168.123.100"),
            u"Máy in 192.168.123.100 khác dải IP với máy tính này nên chưa gửi được lệnh. Hãy "
            u"đổi IP máy in ở trang Máy in Lan trước.");
}

TEST(AddressChecks, AnotherListedPrinterHoldingTheAddress) {
  NetworkPrinter changed;
  changed.ip = "192.168.77.100";
  changed.mac = "00-1A-2B-3C-4D-5E";
  NetworkPrinter other;
  other.ip = "192.168.77.9";
  other.mac = "00-1A-2B-3C-4D-09";
  NetworkPrinter sameTwice = changed;
  sameTwice.ip = "192.168.77.120";
  const std::vector<NetworkPrinter> listed{changed, other, sameTwice};
  ASSERT_TRUE(ListedHolder("192.168.77.9", changed, listed));
  EXPECT_EQ(ListedHolder("192.168.77.9", changed, listed)->mac, "00-1A-2B-3C-4D-09");
  EXPECT_FALSE(ListedHolder("192.168.77.100", changed, listed));  // its own address
  EXPECT_FALSE(ListedHolder("192.168.77.120", changed, listed));  // itself, listed twice
  EXPECT_FALSE(ListedHolder("192.168.77.50", changed, listed));
  EXPECT_EQ(AddressHeldQuestion("192.168.77.9", ""),
            u"IP 192.168.77.9 đang được một thiết bị khác dùng. Nếu đổi, máy in sẽ trùng IP với "
            u"thiết bị đó và có thể không in được. Vẫn đổi IP?");
}

}  // namespace
}  // namespace korvante
