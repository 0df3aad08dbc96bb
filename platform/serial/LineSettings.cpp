#include "LineSettings.h"

#include <array>
#include <utility>

namespace platform::serial {
namespace {

constexpr std::array<std::pair<std::uint32_t, speed_t>, 31> speeds{{
    {50, B50},
    {75, B75},
    {110, B110},
    {134, B134},
    {150, B150},
    {200, B200},
    {300, B300},
    {600, B600},
    {1200, B1200},
    {1800, B1800},
    {2400, B2400},
    {4800, B4800},
    {9600, B9600},
    {19200, B19200},
    {38400, B38400},
    {57600, B57600},
    {115200, B115200},
    {230400, B230400},
    {460800, B460800},
    {500000, B500000},
    {576000, B576000},
    {921600, B921600},
    {1000000, B1000000},
    {1152000, B1152000},
    {1500000, B1500000},
    {2000000, B2000000},
    {2500000, B2500000},
    {3000000, B3000000},
    {3500000, B3500000},
    {4000000, B4000000},
    {0, B0},
}};

tcflag_t size_flag(int data_bits) {
    switch (data_bits) {
    case 5:
        return CS5;
    case 6:
        return CS6;
    case 7:
        return CS7;
    default:
        return CS8;
    }
}

} // namespace

std::optional<speed_t> speed_constant(std::uint32_t baud_rate) {
    if (baud_rate == 0)
        return std::nullopt;
    for (auto [rate, speed] : speeds) {
        if (rate == baud_rate)
            return speed;
    }
    return std::nullopt;
}

std::uint32_t rate_of_speed(speed_t speed) {
    for (auto [rate, constant] : speeds) {
        if (constant == speed)
            return rate;
    }
    return 0;
}

bool LineSettings::store(termios& t) const {
    if (baud_rate == 0 || data_bits < 5 || data_bits > 8)
        return false;

    t.c_iflag &= ~(IGNBRK | BRKINT | IGNPAR | PARMRK | INPCK | ISTRIP | INLCR | IGNCR | ICRNL |
                   IXON | IXOFF | IXANY | IMAXBEL);
    t.c_oflag &= ~OPOST;
    t.c_lflag &= ~(ECHO | ECHONL | ECHOE | ECHOK | ICANON | ISIG | IEXTEN);
    t.c_cflag &= ~(CSIZE | CSTOPB | PARENB | PARODD | CMSPAR | CRTSCTS | HUPCL);
    t.c_cflag |= CREAD | CLOCAL | size_flag(data_bits);
    // One byte makes a read ready; with the descriptor non-blocking a read
    // of nothing then fails with EAGAIN, and only a hang-up reads 0 bytes.
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;

    // A break arrives as 0xFF 0x00 0x00 instead of a bare 0x00 byte.
    t.c_iflag |= PARMRK;
    if (parity_check)
        t.c_iflag |= INPCK;

    if (stop_bits != StopBits::One)
        t.c_cflag |= CSTOPB;

    switch (parity) {
    case Parity::None:
        break;
    case Parity::Odd:
        t.c_cflag |= PARENB | PARODD;
        break;
    case Parity::Even:
        t.c_cflag |= PARENB;
        break;
    case Parity::Mark:
        t.c_cflag |= PARENB | CMSPAR | PARODD;
        break;
    case Parity::Space:
        t.c_cflag |= PARENB | CMSPAR;
        break;
    }

    switch (flow) {
    case FlowControl::None:
        break;
    case FlowControl::RtsCts:
        t.c_cflag |= CRTSCTS;
        break;
    case FlowControl::XonXoff:
        t.c_iflag |= IXON | IXOFF;
        t.c_cc[VSTART] = XonChar;
        t.c_cc[VSTOP] = XoffChar;
        break;
    }

    if (auto speed = speed_constant(baud_rate)) {
        cfsetispeed(&t, *speed);
        cfsetospeed(&t, *speed);
    }
    return true;
}

void LineSettings::load(const termios& t) {
    baud_rate = rate_of_speed(cfgetospeed(&t));
    switch (t.c_cflag & CSIZE) {
    case CS5:
        data_bits = 5;
        break;
    case CS6:
        data_bits = 6;
        break;
    case CS7:
        data_bits = 7;
        break;
    default:
        data_bits = 8;
        break;
    }
    stop_bits = (t.c_cflag & CSTOPB) ? StopBits::Two : StopBits::One;
    if (!(t.c_cflag & PARENB))
        parity = Parity::None;
    else if (t.c_cflag & CMSPAR)
        parity = (t.c_cflag & PARODD) ? Parity::Mark : Parity::Space;
    else
        parity = (t.c_cflag & PARODD) ? Parity::Odd : Parity::Even;
    parity_check = (t.c_iflag & INPCK) != 0;
    if (t.c_cflag & CRTSCTS)
        flow = FlowControl::RtsCts;
    else if ((t.c_iflag & (IXON | IXOFF)) == (IXON | IXOFF))
        flow = FlowControl::XonXoff;
    else
        flow = FlowControl::None;
}

std::uint64_t character_time_us(const LineSettings& settings) {
    std::uint64_t bits = 1 + static_cast<std::uint64_t>(settings.data_bits) +
                         (settings.parity == Parity::None ? 0 : 1) +
                         (settings.stop_bits == StopBits::One ? 1 : 2);
    if (settings.baud_rate == 0)
        return 0;
    return (bits * 1000000 + settings.baud_rate - 1) / settings.baud_rate;
}

} // namespace platform::serial
