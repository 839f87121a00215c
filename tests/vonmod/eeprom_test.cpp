// EEPROM transfers in 59-byte chunks.

#include <numeric>

#include "tests/vonmod/sim_fixture.h"

namespace vonmod_test {
namespace {

class EepromTest : public SimModuleTest {};

TEST_F(EepromTest, HundredBytesFromZeroComeInTwoChunks) {
  auto& eeprom = sim->module(0).eeprom;
  std::iota(eeprom.begin(), eeprom.end(), uint8_t{0});
  std::vector<uint8_t> data(101, 0xEE);
  ASSERT_EQ(Vonmod_ReadMemory(&session, 100, 0, data.data()), 0);
  EXPECT_EQ(sim->requests(), (std::vector<Bytes>{{0x62, 59, 0, 0, 0}, {0x62, 41, 59, 0, 0}}));
  for (int i = 0; i < 100; ++i) EXPECT_EQ(data[static_cast<size_t>(i)], i);
  EXPECT_EQ(data[100], 0xEE);
}

TEST_F(EepromTest, WriteChunksCarryTheirDataAndAFailingOneEndsTheCall) {
  std::vector<uint8_t> data(130);
  std::iota(data.begin(), data.end(), uint8_t{100});
  ASSERT_EQ(Vonmod_WriteMemory(&session, 130, 110, data.data()), 0);
  const auto requests = sim->requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[0].size(), 64u);
  EXPECT_EQ(Bytes(requests[0].begin(), requests[0].begin() + 6), (Bytes{0x61, 59, 110, 0, 0, 100}));
  EXPECT_EQ(Bytes(requests[1].begin(), requests[1].begin() + 6), (Bytes{0x61, 59, 169, 0, 0, 159}));
  EXPECT_EQ(requests[2].size(), 17u);
  EXPECT_EQ(Bytes(requests[2].begin(), requests[2].begin() + 6), (Bytes{0x61, 12, 228, 0, 0, 218}));
  const auto& eeprom = sim->module(0).eeprom;
  EXPECT_EQ(Bytes(eeprom.begin() + 110, eeprom.end()), data);
  EXPECT_EQ(eeprom[109], 0);

  // A failing chunk ends the call; the module keeps the chunks before it.
  sim->clearCalls();
  sim->inject(Fault::WrongEcho);  // spoils the first reply only
  EXPECT_EQ(Vonmod_WriteMemory(&session, 100, 0, data.data()), 9);
  EXPECT_EQ(sim->requests().size(), 1u);
  EXPECT_EQ(eeprom[58], 158) << "the module took the first chunk";
  EXPECT_EQ(eeprom[59], 0);

  // Bounds against an open session are among the refusals of the commands' tests; a released
  // session is refused after the size by a read, before it by a write.
  ASSERT_EQ(Vonmod_ReleaseDevice(&session), 0);
  EXPECT_EQ(Vonmod_ReadMemory(&session, 200, 50, data.data()), 10);
  EXPECT_EQ(Vonmod_WriteMemory(&session, 200, 50, data.data()), 8);
}

}  // namespace
}  // namespace vonmod_test
