#include "counting/CountRecord.h"
#include "gatelink/GateFrame.h"
#include "gatesim/SimFrameAssembler.h"
#include "integration/support/GateSimProcess.h"

#include <QElapsedTimer>
#include <QTcpSocket>

#include <gtest/gtest.h>

namespace {

const QByteArray kRomRequest = GateSimProcess::hex("02004F02900003E60D");
const QByteArray kRomReply = GateFrame::BuildFrame('0', QByteArray("\x90") + QByteArray("135-01.00"));

// A plain socket standing where the program would be, reading whole frames.
class ProgramSide
{
public:
    explicit ProgramSide(GateSimProcess& sim, int gate = 0) : m_sim(sim), m_gate(gate) {}

    bool connect()
    {
        m_socket.connectToHost(m_sim.address(m_gate), m_sim.port(m_gate));
        return m_sim.waitFor([&] { return m_socket.state() == QAbstractSocket::ConnectedState; }, 3000) &&
               m_sim.waitFor([&] { return isConnectedAtGate(); }, 3000);
    }

    void send(const QByteArray& bytes)
    {
        m_socket.write(bytes);
        m_socket.flush();
    }

    // The next frame from the gate, or an empty array when none came within timeoutMs.
    QByteArray frame(int timeoutMs = 3000)
    {
        m_sim.waitFor([&] { return fill(); }, timeoutMs);
        if (m_frames.empty())
            return {};
        QByteArray f = m_frames.front();
        m_frames.erase(m_frames.begin());
        return f;
    }

    QByteArray rawBytes(int count, int timeoutMs = 3000)
    {
        m_sim.waitFor(
            [&] {
                m_raw += m_socket.readAll();
                return m_raw.size() >= count;
            },
            timeoutMs);
        return m_raw;
    }

    bool waitClosed(int timeoutMs = 3000)
    {
        return m_sim.waitFor([&] { return m_socket.state() == QAbstractSocket::UnconnectedState; }, timeoutMs);
    }

    QTcpSocket& socket() { return m_socket; }

private:
    bool isConnectedAtGate()
    {
        for (const auto& line : m_sim.log()) {
            if (line.unit == QStringLiteral("G%1").arg(m_gate) && line.kind == QLatin1String("EV") &&
                line.text.startsWith(QLatin1String("connected")))
                return true;
        }
        return false;
    }

    bool fill()
    {
        for (const auto& piece : m_assembler.feed(m_socket.readAll())) {
            if (piece.kind != SimFrameAssembler::Piece::Kind::Junk)
                m_frames.push_back(piece.bytes);
        }
        return !m_frames.empty();
    }

    GateSimProcess& m_sim;
    int m_gate;
    QTcpSocket m_socket;
    SimFrameAssembler m_assembler;
    std::vector<QByteArray> m_frames;
    QByteArray m_raw;
};

bool sumIsGood(const QByteArray& frame)
{
    const auto* b = reinterpret_cast<const std::uint8_t*>(frame.constData());
    return frame.size() >= 7 && b[5 + b[3]] == GateFrame::Checksum(b);
}

} // namespace

TEST(SimGate, AnswersTheRomVersionRequestAndLogsBothFrames)
{
    GateSimProcess sim;
    ASSERT_TRUE(sim.start(1)) << sim.errorOutput().toStdString();
    ProgramSide program(sim);
    ASSERT_TRUE(program.connect());

    program.send(kRomRequest);
    EXPECT_EQ(program.frame().toHex(' '), kRomReply.toHex(' '));
    ASSERT_TRUE(sim.waitForFrames(0, QStringLiteral("TX"), 1));

    QStringList lines;
    for (const auto& line : sim.log()) {
        if (line.kind != QLatin1String("EV"))
            lines << line.unit + QLatin1Char(' ') + line.kind + QLatin1Char(' ') + line.text;
    }
    EXPECT_EQ(lines, (QStringList{QStringLiteral("G0 RX 02 00 4F 02 90 00 03 E6 0D"),
                                  QStringLiteral("G0 TX 02 00 30 0A 90 31 33 35 2D 30 31 2E 30 30 03 84 0D")}));
}

TEST(SimGate, InjectsEachFault)
{
    struct Case
    {
        const char* fault;
        std::function<void(GateSimProcess&, ProgramSide&)> check;
    };
    const Case cases[] = {
        {"fault 0 delay 300",
         [](GateSimProcess&, ProgramSide& program) {
             QElapsedTimer clock;
             clock.start();
             program.send(kRomRequest);
             EXPECT_EQ(program.frame(), kRomReply);
             EXPECT_GE(clock.elapsed(), 290);
         }},
        {"fault 0 nack 2",
         [](GateSimProcess&, ProgramSide& program) {
             // A NACK of the awaited LEN and sub-code, so the sequence steps back and asks again.
             QByteArray refused = kRomReply;
             refused[2] = '1';
             GateFrame::Reseal(reinterpret_cast<std::uint8_t*>(refused.data()));
             for (const QByteArray& expected : {refused, refused, kRomReply}) {
                 program.send(kRomRequest);
                 EXPECT_EQ(program.frame().toHex(' '), expected.toHex(' '));
             }
         }},
        {"fault 0 silence 400",
         [](GateSimProcess& sim, ProgramSide& program) {
             program.send(kRomRequest);
             EXPECT_TRUE(program.frame(250).isEmpty());
             EXPECT_TRUE(sim.waitFor([&] { return sim.frames(0, QStringLiteral("RX")).size() == 1; }, 1000));
             sim.waitFor([] { return false; }, 250);
             program.send(kRomRequest);
             EXPECT_EQ(program.frame(), kRomReply);
         }},
        {"fault 0 garbage 40",
         [](GateSimProcess&, ProgramSide& program) {
             const QByteArray junk = program.rawBytes(40);
             EXPECT_EQ(junk.size(), 40);
             EXPECT_FALSE(junk.contains('\x02'));
         }},
        {"fault 0 badsum",
         [](GateSimProcess&, ProgramSide& program) {
             program.send(kRomRequest);
             const QByteArray spoilt = program.frame();
             EXPECT_EQ(spoilt.size(), kRomReply.size());
             EXPECT_FALSE(sumIsGood(spoilt));
             program.send(kRomRequest);
             EXPECT_EQ(program.frame(), kRomReply);
         }},
        {"fault 0 drop",
         [](GateSimProcess&, ProgramSide& program) {
             EXPECT_TRUE(program.waitClosed());
             EXPECT_TRUE(program.connect());
             program.send(kRomRequest);
             EXPECT_EQ(program.frame(), kRomReply);
         }},
        {"fault 0 refuse 600",
         [](GateSimProcess& sim, ProgramSide& program) {
             EXPECT_TRUE(program.waitClosed());
             QTcpSocket early;
             early.connectToHost(sim.address(0), sim.port(0));
             EXPECT_TRUE(sim.waitFor([&] { return early.error() == QAbstractSocket::ConnectionRefusedError; }, 2000));
             sim.waitFor([] { return false; }, 700);
             EXPECT_TRUE(program.connect());
             program.send(kRomRequest);
             EXPECT_EQ(program.frame(), kRomReply);
         }},
        {"fault 0 nack 1000000\nclear-faults 0",
         [](GateSimProcess&, ProgramSide& program) {
             program.send(kRomRequest);
             EXPECT_EQ(program.frame(), kRomReply);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fault);
        GateSimProcess sim;
        ASSERT_TRUE(sim.start(1));
        ProgramSide program(sim);
        ASSERT_TRUE(program.connect());
        for (const QString& line : QString::fromLatin1(c.fault).split(QLatin1Char('\n')))
            EXPECT_TRUE(sim.command(line).startsWith(QLatin1String("ok"))) << line.toStdString();
        c.check(sim, program);
    }
}

TEST(SimGate, SurvivesJunkAndAnswersBadSumsAsConfigured)
{
    for (const bool nack : {false, true}) {
        SCOPED_TRACE(nack ? "bad-sum-reply=nack" : "bad-sum-reply=none");
        GateSimProcess sim;
        ASSERT_TRUE(sim.start(1, nack ? QByteArray("bad-sum-reply=nack\n") : QByteArray()));
        ProgramSide program(sim);
        ASSERT_TRUE(program.connect());

        program.send(GateSimProcess::hex("02004F02900003E70D"));
        if (nack)
            EXPECT_EQ(program.frame().toHex(' '), GateSimProcess::hex("020031014203790D").toHex(' '));
        else
            EXPECT_TRUE(program.frame(300).isEmpty());
        EXPECT_EQ(sim.frames(0, QStringLiteral("BAD")), QList<QByteArray>{GateSimProcess::hex("02004F02900003E70D")});

        // Junk with an STX in it, then a request split over two writes: still answered.
        program.send(GateSimProcess::hex("AA02FF0D"));
        program.send(kRomRequest.left(4));
        sim.waitFor([] { return false; }, 50);
        program.send(kRomRequest.mid(4));
        EXPECT_EQ(program.frame(), kRomReply);
    }
}

TEST(SimGate, PushesCountsOnCommandAndOnSchedule)
{
    GateSimProcess sim;
    ASSERT_TRUE(sim.start(1, "in=10 0 0\nG0.count-push-ms=0\n"));
    ProgramSide program(sim);
    ASSERT_TRUE(program.connect());

    EXPECT_EQ(sim.command(QStringLiteral("count 0 1 3 2")), QStringLiteral("ok G0 in=10,3,0 out=0,2,0 pushed=1"));
    const QByteArray pushed = program.frame();
    ASSERT_EQ(pushed.size(), 44);
    EXPECT_EQ(pushed.left(5).toHex(' '), QByteArray("02 00 47 25 81"));
    EXPECT_TRUE(sumIsGood(pushed));
    CountRecord expected;
    expected.in = {10, 3, 0};
    expected.out = {0, 2, 0};
    EXPECT_EQ(CountRecord::read(reinterpret_cast<const std::uint8_t*>(pushed.constData()) + 5), expected);

    EXPECT_EQ(sim.command(QStringLiteral("set-count 0 0 1 1")), QStringLiteral("ok G0 in=1,3,0 out=1,2,0 pushed=1"));
    EXPECT_EQ(program.frame().mid(5, 4).toHex(' '), QByteArray("01 00 00 00"));
    EXPECT_EQ(sim.command(QStringLiteral("counters 0")), QStringLiteral("ok G0 in=1,3,0 out=1,2,0"));
    EXPECT_EQ(sim.command(QStringLiteral("push-count 0")), QStringLiteral("ok G0 pushed"));
    EXPECT_EQ(program.frame().size(), 44);

    GateSimProcess scheduled;
    ASSERT_TRUE(scheduled.start(1, "count-push-ms=40\ncount-push-in=0 0 2\ncount-push-out=1 0 0\n"));
    ProgramSide listener(scheduled);
    ASSERT_TRUE(listener.connect());
    for (int n = 1; n <= 3; ++n) {
        const QByteArray f = listener.frame();
        ASSERT_EQ(f.size(), 44);
        const CountRecord r = CountRecord::read(reinterpret_cast<const std::uint8_t*>(f.constData()) + 5);
        EXPECT_EQ(r.in[2], 2 * n);
        EXPECT_EQ(r.out[0], n);
    }
}

TEST(SimGate, PushesTagFramesOnCommand)
{
    GateSimProcess sim;
    ASSERT_TRUE(sim.start(1));
    ProgramSide program(sim);
    EXPECT_EQ(sim.command(QStringLiteral("tag 0 D 0102030405060708")), QStringLiteral("error G0 not connected"));
    ASSERT_TRUE(program.connect());

    const QByteArray uid = GateSimProcess::hex("0102030405060708");
    const QByteArray data = GateSimProcess::hex("000102030405060708090A0B");
    EXPECT_EQ(sim.command(QStringLiteral("tag 0 D 0102030405060708 000102030405060708090A0B")),
              QStringLiteral("ok G0 tag D"));
    EXPECT_EQ(program.frame(), GateFrame::BuildFrame('D', uid + data));
    EXPECT_EQ(sim.command(QStringLiteral("tag 0 i 0102030405060708")), QStringLiteral("ok G0 tag i"));
    EXPECT_EQ(program.frame(), GateFrame::BuildFrame('i', GateSimProcess::hex("010000") + uid));
}

TEST(SimGate, AnswersOnTheControlPortAndEndsOnQuitOrSignal)
{
    GateSimProcess sim;
    ASSERT_TRUE(sim.start(1, {}, {QStringLiteral("--control"), QStringLiteral("127.0.0.1:0")}));
    ASSERT_NE(sim.controlPort(), 0);
    QTcpSocket control;
    control.connectToHost(QHostAddress::LocalHost, sim.controlPort());
    QByteArray replies;
    const auto ask = [&](const QByteArray& lines, int count) {
        control.write(lines);
        sim.waitFor(
            [&] {
                replies += control.readAll();
                return replies.count('\n') >= count;
            },
            3000);
    };
    ask("counters 0\n\nstate 0\n" + QByteArray(5000, 'x') + "\ncount 7 0 1 1\n", 4);
    const QList<QByteArray> lines = replies.split('\n');
    ASSERT_GE(lines.size(), 4);
    EXPECT_EQ(lines[0], QByteArray("ok G0 in=0,0,0 out=0,0,0"));
    EXPECT_TRUE(lines[1].startsWith("ok G0 connected=0 mode=010014 tx=1 loop=0")) << lines[1].toStdString();
    EXPECT_EQ(lines[2], QByteArray("error line too long (at most 4096 bytes)"));
    EXPECT_EQ(lines[3], QByteArray("error no gate 7 (gates 0..0)"));

    replies.clear();
    ask("quit\n", 1);
    EXPECT_EQ(replies, QByteArray("ok bye\n"));
    ASSERT_TRUE(sim.waitFor([&] { return !sim.isRunning(); }, 3000));
    EXPECT_EQ(sim.process().exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(sim.process().exitCode(), 0);

    GateSimProcess signalled;
    ASSERT_TRUE(signalled.start(1));
    signalled.process().terminate();
    ASSERT_TRUE(signalled.waitFor([&] { return !signalled.isRunning(); }, 3000));
    EXPECT_EQ(signalled.process().exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(signalled.process().exitCode(), 0);
}

TEST(SimGate, RunsFifteenGatesOnSeveralLoopbackAddresses)
{
    QStringList arguments;
    for (int i = 0; i < 15; ++i)
        arguments << QStringLiteral("--listen") << QStringLiteral("127.0.0.%1:0").arg(1 + i % 3);
    GateSimProcess sim;
    ASSERT_TRUE(sim.startWithArguments(arguments)) << sim.errorOutput().toStdString();
    ASSERT_EQ(sim.gateCount(), 15);
    std::vector<std::unique_ptr<ProgramSide>> programs;
    for (int i = 0; i < 15; ++i) {
        programs.push_back(std::make_unique<ProgramSide>(sim, i));
        ASSERT_TRUE(programs.back()->connect()) << i;
        programs.back()->send(kRomRequest);
    }
    for (int i = 0; i < 15; ++i)
        EXPECT_EQ(programs[static_cast<std::size_t>(i)]->frame(), kRomReply) << i;
}
