#include <platform/serial/LineSettings.h>

#include <gtest/gtest.h>

#include <cstring>

using namespace platform::serial;

namespace {

// A termios as a terminal might hold it before we touch it: cooked mode,
// echo, CR/NL translation, a few flags that must not survive.
termios cooked() {
    termios t{};
    t.c_iflag = ICRNL | IXON | IXANY | IGNPAR | ISTRIP | BRKINT | IMAXBEL;
    t.c_oflag = OPOST | ONLCR;
    t.c_lflag = ICANON | ECHO | ECHOE | ISIG | IEXTEN;
    t.c_cflag = CS7 | PARENB | HUPCL | CRTSCTS;
    cfsetispeed(&t, B38400);
    cfsetospeed(&t, B38400);
    return t;
}

} // namespace

TEST(LineSettings, StoreGivesRawModeWithBreakMarking) {
    termios t = cooked();
    LineSettings settings;
    ASSERT_TRUE(settings.store(t));
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ECHOE | ISIG | IEXTEN), 0u) << "no line editing or echo";
    EXPECT_EQ(t.c_oflag & OPOST, 0u) << "output bytes must not be translated";
    EXPECT_EQ(t.c_iflag & (ICRNL | IXON | IXANY | IGNPAR | ISTRIP | BRKINT), 0u);
    EXPECT_NE(t.c_iflag & PARMRK, 0u) << "breaks are marked in the stream";
    EXPECT_EQ(t.c_iflag & INPCK, 0u) << "parity checking is off unless asked for";
    EXPECT_EQ(t.c_cflag & (CREAD | CLOCAL), tcflag_t(CREAD | CLOCAL));
    EXPECT_EQ(t.c_cflag & (HUPCL | CRTSCTS | PARENB), 0u);
    EXPECT_EQ(t.c_cflag & CSIZE, tcflag_t(CS8));
    EXPECT_EQ(cfgetospeed(&t), speed_t(B9600));
    EXPECT_EQ(cfgetispeed(&t), speed_t(B9600));
    EXPECT_EQ(t.c_cc[VMIN], 1);
    EXPECT_EQ(t.c_cc[VTIME], 0);
}

TEST(LineSettings, ParityStopBitsAndFlowMapToTheirFlags) {
    struct Case {
        Parity parity;
        tcflag_t flags;
    };
    const Case cases[] = {
        {Parity::None, 0},
        {Parity::Odd, PARENB | PARODD},
        {Parity::Even, PARENB},
        {Parity::Mark, PARENB | CMSPAR | PARODD},
        {Parity::Space, PARENB | CMSPAR},
    };
    for (auto& c : cases) {
        termios t = cooked();
        LineSettings settings;
        settings.parity = c.parity;
        ASSERT_TRUE(settings.store(t));
        EXPECT_EQ(t.c_cflag & (PARENB | PARODD | CMSPAR), c.flags)
            << "parity " << static_cast<int>(c.parity);
    }

    for (auto [stop, cstopb] :
         {std::pair{StopBits::One, false}, std::pair{StopBits::OneAndHalf, true},
          std::pair{StopBits::Two, true}}) {
        termios t = cooked();
        LineSettings settings;
        settings.stop_bits = stop;
        ASSERT_TRUE(settings.store(t));
        EXPECT_EQ((t.c_cflag & CSTOPB) != 0, cstopb) << "stop bits " << static_cast<int>(stop);
    }

    termios t = cooked();
    LineSettings xon;
    xon.flow = FlowControl::XonXoff;
    xon.parity_check = true;
    ASSERT_TRUE(xon.store(t));
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF), tcflag_t(IXON | IXOFF));
    EXPECT_EQ(t.c_iflag & IXANY, 0u) << "only XON restarts output";
    EXPECT_EQ(t.c_cc[VSTART], 0x11);
    EXPECT_EQ(t.c_cc[VSTOP], 0x13);
    EXPECT_EQ(t.c_cflag & CRTSCTS, 0u);
    EXPECT_NE(t.c_iflag & INPCK, 0u);

    t = cooked();
    LineSettings rts;
    rts.flow = FlowControl::RtsCts;
    ASSERT_TRUE(rts.store(t));
    EXPECT_NE(t.c_cflag & CRTSCTS, 0u);
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF), 0u);
}

TEST(LineSettings, EverySettingSurvivesStoreAndLoad) {
    const LineSettings cases[] = {
        {9600, 8, StopBits::One, Parity::None, false, FlowControl::None},
        {115200, 7, StopBits::Two, Parity::Even, true, FlowControl::RtsCts},
        {300, 5, StopBits::Two, Parity::Mark, false, FlowControl::XonXoff},
        {4000000, 6, StopBits::One, Parity::Space, true, FlowControl::None},
        {50, 8, StopBits::One, Parity::Odd, false, FlowControl::None},
    };
    for (auto& settings : cases) {
        termios t = cooked();
        ASSERT_TRUE(settings.store(t));
        LineSettings back;
        back.load(t);
        EXPECT_EQ(back, settings) << "baud " << settings.baud_rate << " bits "
                                  << settings.data_bits;
    }
}

TEST(LineSettings, RefusesWhatTermiosCannotSayAndLeavesTheStructure) {
    for (auto [baud, bits] :
         {std::pair{0u, 8}, std::pair{9600u, 4}, std::pair{9600u, 9}, std::pair{9600u, -1}}) {
        termios t = cooked();
        termios before = t;
        LineSettings settings;
        settings.baud_rate = baud;
        settings.data_bits = bits;
        EXPECT_FALSE(settings.store(t)) << baud << " baud, " << bits << " bits";
        EXPECT_EQ(std::memcmp(&t, &before, sizeof t), 0);
    }
}

TEST(LineSettings, RatesWithoutAConstantAreLeftToTheArbitraryRateInterface) {
    EXPECT_EQ(speed_constant(19200), speed_t(B19200));
    EXPECT_EQ(speed_constant(1000000), speed_t(B1000000));
    EXPECT_FALSE(speed_constant(250000));
    EXPECT_FALSE(speed_constant(0));
    EXPECT_EQ(rate_of_speed(B57600), 57600u);

    termios t = cooked();
    LineSettings settings;
    settings.baud_rate = 250000;
    ASSERT_TRUE(settings.store(t));
    EXPECT_EQ(cfgetospeed(&t), speed_t(B38400)) << "the speed field is not touched";
}

TEST(LineSettings, CharacterTimeCountsEveryBit) {
    LineSettings settings; // 9600 8N1: ten bits
    EXPECT_EQ(character_time_us(settings), 1042u);
    settings.parity = Parity::Even;
    settings.stop_bits = StopBits::Two;
    EXPECT_EQ(character_time_us(settings), 1250u); // twelve bits
}
