#include "plan/plan.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace
{

const char* const kKinds[] = { "port", "settings", "protocol", "address", "hex", "disp", "national", "dtr",
    "rts", "autorts", "break", "timeout", "quiet", "send", "expect", "match", "expect-hex", "expect-none",
    "wait", "repeat" };

// Each step as LINE:KIND, then what it holds: [text], =number, "on", <hex bytes>, {body}.
QString Render(const std::vector<PlanStep>& steps)
{
    QStringList parts;
    for (const PlanStep& step : steps) {
        QString part = QString::number(step.line) + ':' + kKinds[int(step.kind)];
        part += (step.text.isEmpty() ? "" : '[' + step.text + ']')
            + (step.number ? '=' + QString::number(step.number) : "");
        part += (step.on ? " on" : "") + (step.bytes.isEmpty() ? "" : '<' + step.bytes.toHex(' ') + '>');
        parts.append(part + (step.body.empty() ? "" : '{' + Render(step.body) + '}'));
    }
    return parts.join(' ');
}

// Every step in any case, blanks that a send or an expectation keeps, comments and a # in data, CR LF,
// Windows-1252 where the file is not UTF-8, and nested repeats.
TEST(PlanReader, ReadsEveryStepOfAGoodPlan)
{
    const std::pair<QByteArray, QString> cases[] = {
        { "port COM3\nsettings 19200,e,7,2\nprotocol modbus rtu\naddress 12\nhex on\ndisp OFF\nnational On\n"
          "dtr on\nrts off\nautorts ON\nbreak\ntimeout 1500\nquiet 20\nwait 0\nrepeat 3\nend",
            "1:port[COM3] 2:settings[19200,e,7,2] 3:protocol=6 4:address=12 5:hex on 6:disp 7:national on "
            "8:dtr on 9:rts 10:autorts on 11:break 12:timeout=1500 13:quiet=20 14:wait 15:repeat=3" },
        { "SEND ID?\nExpect DXT-100 V2.1\nMATCH ^-?[0-9]+ $\nexpect-hex 02 41 0d0A\nexpect NONE\nexpect   "
          "none ",
            "1:send[ID?] 2:expect[DXT-100 V2.1] 3:match[^-?[0-9]+ $] 4:expect-hex<02 41 0d 0a> 5:expect-none "
            "6:expect-none" },
        { "# a comment\n  \t# an indented one\n\n \t \nsend  DISP #A  \nexpect\tx # y \n",
            "5:send[ DISP #A  ] 6:expect[x # y ]" },
        { "send a\r\nsend b\rc\r\n\r\nsend d\r", "1:send[a] 2:send[b\rc] 4:send[d\r]" },
        { "send \xC4\x80 \x84\nexpect \xE9", QString::fromUtf8("1:send[Ä€ „] 2:expect[é]") },
        { "\xEF\xBB\xBFsend \xC3\x84\xE2\x82\xAC", QString::fromUtf8("1:send[Ä€]") },
        { "repeat 2\n  send a\n  repeat 1000000000\n    expect b\n  end\nEND\nsend c",
            "1:repeat=2{2:send[a] 3:repeat=1000000000{4:expect[b]}} 7:send[c]" },
        { "protocol VXB, with BCC\nprotocol vxb, no bcc\nprotocol VXB, WRONG BCC\nprotocol ascii crlf\n"
          "protocol vxb-ravo\nprotocol as is\nprotocol HART\nprotocol 0\nprotocol 7\nprotocol 5 ",
            "1:protocol 2:protocol=1 3:protocol=2 4:protocol=3 5:protocol=4 6:protocol=5 7:protocol=7 "
            "8:protocol "
            "9:protocol=7 10:protocol=5" },
        { "port com16\nport /dev/ttyUSB0\nport rfc2217://lab:2000\nport socket://[::1]:7000 \nport com01",
            "1:port[COM16] 2:port[/dev/ttyUSB0] 3:port[rfc2217://lab:2000] 4:port[socket://[::1]:7000] "
            "5:port[COM1]" },
        { "address &H1F\naddress 2.5\naddress -1\ntimeout 86400000\nquiet 007\nwait "
          "0000000000000000000000001",
            "1:address=31 2:address=2 3:address=-1 4:timeout=86400000 5:quiet=7 6:wait=1" },
    };
    for (const auto& [text, steps] : cases) {
        const auto read = ReadPlan(text);
        ASSERT_TRUE(std::holds_alternative<Plan>(read))
            << text.toStdString() << std::get<PlanMistake>(read).message.toStdString();
        EXPECT_EQ(Render(std::get<Plan>(read).steps), steps);
    }
}

// The first mistake and its line, a missing end at the line after the last one. However long a line
// or deep the nesting, the reader answers, and what it quotes is cut short.
TEST(PlanReader, NamesTheFirstMistakeAndItsLine)
{
    const QString longWord = QString(40, 'x') + "...", url = "socket://a@" + QString(100, 'x') + ":1";
    const std::tuple<QByteArray, int, QString> cases[] = {
        { "send a\n\nsned b\nfoo", 3, "unknown step \"sned\"" },
        { "sendx", 1, "unknown step \"sendx\"" },
        { QByteArray(100'000'000, 'x'), 1, "unknown step \"" + longWord + '"' },
        { "send", 1, "nothing after \"send\"" },
        { "send ", 1, "nothing after \"send\"" },
        { "send a\ntimeout \t ", 2, "nothing after \"timeout\"" },
        { "break now", 1, "nothing may follow \"break\"" },
        { "repeat 2\nend 2", 2, "nothing may follow \"end\"" },
        { "repeat 2\nsend a\n", 3, "\"repeat\" at line 1 has no \"end\"" },
        { "repeat 2\nrepeat 3\nend\nrepeat 4\nsend a", 6, "\"repeat\" at line 4 has no \"end\"" },
        { "repeat 2\nend\nend", 3, "\"end\" without \"repeat\"" },
        { QByteArray("repeat 1\n").repeated(100'000), 101, "repeats nested more than 100 deep" },
        { "expect x\nsend a", 1, "\"expect\" before any \"send\"" },
        { "repeat 2\nmatch x\nend\nsend a", 2, "\"match\" before any \"send\"" },
        { "expect none", 1, "\"expect\" before any \"send\"" },
        { "repeat -1.5", 1, "\"-1.5\" is not a whole number" },
        { "quiet 86400001", 1, "86400001 ms is more than 24 hours" },
        { "timeout 99999999999999999999999999", 1,
            "\"99999999999999999999999999\" ms is more than 24 hours" },
        { "repeat 1000000001", 1, "1000000001 is more than 1000000000 repeats" },
        { "address 1x", 1, "\"1x\" is not a number" },
        { "protocol 8", 1, "unknown protocol \"8\"" },
        { "protocol VXB with BCC", 1, "unknown protocol \"VXB with BCC\"" },
        { "dtr yes", 1, "\"yes\" is not on or off" },
        { "send a\nexpect-hex 0A1", 2, "\"0A1\" is not pairs of hex digits" },
        { "send a\nexpect-hex 0 A", 2, "\"0 A\" is not pairs of hex digits" },
        { "send a\nexpect-hex 0G", 2, "\"0G\" is not pairs of hex digits" },
        { "send a\nmatch (a", 2, "bad regular expression: missing closing parenthesis" },
        { "port socket://host", 1, "\"socket://host\": no port" },
        { "port telnet://host:23", 1,
            "\"telnet://host:23\": unknown scheme; write rfc2217://HOST:PORT or socket://HOST:PORT" },
        { ("port " + url).toLatin1(), 1, '"' + url.left(40) + "...\": \"a@" + QString(77, 'x') + "..." },
        { "port ttyUSB0", 1, "unknown port \"ttyUSB0\"; write COMn, a device path or a URL" },
        { "port COM17", 1, "no port \"COM17\"; the ports are COM1 to COM16" },
        { "port COM0", 1, "no port \"COM0\"; the ports are COM1 to COM16" },
        { "settings 9600,X,8,1", 1, "\"9600,X,8,1\" is not speed,parity,data bits,stop bits as 9600,N,8,1" },
        { "s\xE9nd a", 1, QString::fromUtf8("unknown step \"sénd\"") },
    };
    for (const auto& [text, line, message] : cases) {
        const auto read = ReadPlan(text);
        ASSERT_TRUE(std::holds_alternative<PlanMistake>(read)) << text.left(80).toStdString();
        EXPECT_EQ(std::get<PlanMistake>(read).line, line) << text.left(80).toStdString();
        EXPECT_EQ(std::get<PlanMistake>(read).message, message);
    }
}

} // namespace
