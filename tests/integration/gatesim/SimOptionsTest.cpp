#include "gatesim/SimOptions.h"

#include <gtest/gtest.h>

namespace {

std::optional<SimOptions> parse(std::initializer_list<const char*> args, QString* error)
{
    QStringList arguments{QStringLiteral("wardale-gatesim")};
    for (const char* a : args)
        arguments << QString::fromLatin1(a);
    return SimOptions::parse(arguments, error);
}

} // namespace

// Only the parser is asked here: nothing is bound or connected.
TEST(SimOptions, KeepsToLoopbackUnlessToldOtherwise)
{
    struct Case
    {
        std::initializer_list<const char*> args;
        bool accepted;
    };
    const Case cases[] = {
        {{"--listen", "127.0.0.1:9004"}, true},
        {{"--listen", "127.3.2.1:0"}, true},
        {{"--listen", "localhost:9004"}, true},
        {{"--listen", "[::1]:9004"}, true},
        {{"--listen", "0.0.0.0:9004"}, false},
        {{"--listen", "198.51.100.7:9004"}, false},
        {{"--listen", "127.0.0.1:9004", "--control", "198.51.100.7:7000"}, false},
        {{"--host-pc", "198.51.100.7:9004"}, false},
        {{"--listen", "198.51.100.7:9004", "--allow-non-loopback"}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(*(c.args.begin() + 1));
        QString error;
        EXPECT_EQ(parse(c.args, &error).has_value(), c.accepted) << error.toStdString();
        EXPECT_EQ(error.isEmpty(), c.accepted);
    }
}

TEST(SimOptions, ReadsBothModesAndRefusesMixtures)
{
    QString error;
    const auto gates = parse({"--listen", "127.0.0.1:0", "--listen", "127.0.0.2:9004", "--control", "127.0.0.1:0",
                              "--config", "g.conf", "--exit-on-eof"},
                             &error);
    ASSERT_TRUE(gates.has_value()) << error.toStdString();
    EXPECT_EQ(gates->listen.size(), 2);
    EXPECT_EQ(gates->listen[1].toString(), QStringLiteral("127.0.0.2:9004"));
    EXPECT_TRUE(gates->exitOnEof);

    const auto host = parse({"--host-pc", "127.0.0.1:9018", "--send", "02 00 4F 02 90 00 03 E6 0D", "--send",
                             "02004F02900003E60D", "--expect", "2", "--timeout", "1500"},
                            &error);
    ASSERT_TRUE(host.has_value()) << error.toStdString();
    EXPECT_EQ(host->sends.size(), 2);
    EXPECT_EQ(host->sends[0], host->sends[1]);
    EXPECT_EQ(host->expect, 2);
    EXPECT_EQ(host->timeoutMs, 1500);

    const std::initializer_list<const char*> bad[] = {
        {},
        {"--listen", "127.0.0.1:0", "--host-pc", "127.0.0.1:9004"},
        {"--listen", "127.0.0.1:0", "--send", "02"},
        {"--host-pc", "127.0.0.1:0"},
        {"--host-pc", "127.0.0.1:9004", "--send", "0Z"},
        {"--host-pc", "127.0.0.1:9004", "--timeout", "0"},
        {"--listen", "127.0.0.1:70000"},
        {"--listen", "127.0.0.1"},
        {"--listen", "::1:9004"},
        {"--listen", "127.0.0.1:0", "stray"},
    };
    for (const auto& args : bad) {
        EXPECT_FALSE(parse(args, &error).has_value());
        EXPECT_FALSE(error.isEmpty());
    }
}
