#include "DemoDb.h"

#include "DemoData.h"
#include "app/CodeLists.h"
#include "app/Schema.h"
#include "app/StatisticsJob.h"
#include "app/Tables.h"
#include "platform/db/DbError.h"
#include "platform/db/EmbeddedBackend.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace tipdesk::demo {

namespace {

// ---------------------------------------------------------------- random numbers
// xoshiro256** seeded through splitmix64: the same sequence on every platform and library,
// which std's distributions do not promise.
class Rng {
public:
    explicit Rng(std::uint64_t seed)
    {
        for (auto &s : m_s) {
            seed += 0x9E3779B97F4A7C15ull;
            std::uint64_t z = seed;
            z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
            z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
            s = z ^ (z >> 31);
        }
    }

    std::uint64_t next()
    {
        const std::uint64_t result = rotl(m_s[1] * 5, 7) * 9;
        const std::uint64_t t = m_s[1] << 17;
        m_s[2] ^= m_s[0];
        m_s[3] ^= m_s[1];
        m_s[1] ^= m_s[2];
        m_s[0] ^= m_s[3];
        m_s[2] ^= t;
        m_s[3] = rotl(m_s[3], 45);
        return result;
    }

    // 0 <= r < n
    int below(int n) { return n <= 0 ? 0 : int((unsigned __int128)next() * unsigned(n) >> 64); }
    double unit() { return double(next() >> 11) * (1.0 / 9007199254740992.0); }
    bool chance(double p) { return unit() < p; }
    template <typename T> const T &pick(const std::vector<T> &v) { return v[std::size_t(below(int(v.size())))]; }
    const char *pick(std::span<const char *const> v) { return v[std::size_t(below(int(v.size())))]; }

    // Index into weights, drawn in proportion to them.
    template <std::size_t N> int weighted(const std::array<double, N> &w)
    {
        double sum = 0;
        for (double x : w)
            sum += x;
        double r = unit() * sum;
        for (std::size_t i = 0; i < N; ++i) {
            if (r < w[i])
                return int(i);
            r -= w[i];
        }
        return int(N - 1);
    }

private:
    static std::uint64_t rotl(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }
    std::uint64_t m_s[4];
};

// ---------------------------------------------------------------- SQLite
[[noreturn]] void fail(sqlite3 *db, const char *what)
{
    throw std::runtime_error(std::string(what) + ": " + (db ? sqlite3_errmsg(db) : "out of memory"));
}

void exec(sqlite3 *db, const char *sql)
{
    char *err = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &err) != SQLITE_OK) {
        std::string m = err ? err : "error";
        sqlite3_free(err);
        throw std::runtime_error(m + " in: " + std::string(sql).substr(0, 80));
    }
}

class Stmt {
public:
    Stmt(sqlite3 *db, const std::string &sql) : m_db(db)
    {
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &m_s, nullptr) != SQLITE_OK)
            fail(db, sql.c_str());
    }
    ~Stmt() { sqlite3_finalize(m_s); }
    Stmt(const Stmt &) = delete;
    Stmt &operator=(const Stmt &) = delete;

    Stmt &text(int i, const std::string &v) { return text(i, v.data(), int(v.size())); }
    Stmt &text(int i, const char *v, int n = -1)
    {
        sqlite3_bind_text(m_s, i, v, n, SQLITE_TRANSIENT);
        return *this;
    }
    Stmt &textOrNull(int i, const std::string &v) { return v.empty() ? null(i) : text(i, v); }
    Stmt &integer(int i, qint64 v)
    {
        sqlite3_bind_int64(m_s, i, v);
        return *this;
    }
    Stmt &null(int i)
    {
        sqlite3_bind_null(m_s, i);
        return *this;
    }
    void run()
    {
        if (sqlite3_step(m_s) != SQLITE_DONE)
            fail(m_db, "insert");
        sqlite3_reset(m_s);
    }
    bool row()
    {
        const int rc = sqlite3_step(m_s);
        if (rc == SQLITE_ROW)
            return true;
        if (rc != SQLITE_DONE)
            fail(m_db, "select");
        return false;
    }
    std::string col(int i) const
    {
        const auto *p = reinterpret_cast<const char *>(sqlite3_column_text(m_s, i));
        return p ? std::string(p, std::size_t(sqlite3_column_bytes(m_s, i))) : std::string();
    }

private:
    sqlite3 *m_db;
    sqlite3_stmt *m_s = nullptr;
};

std::string placeholders(int n)
{
    std::string s;
    for (int i = 0; i < n; ++i)
        s += i ? ",?" : "?";
    return s;
}

// ---------------------------------------------------------------- the people and places
struct Member {
    std::string id;
    std::string name;
    char type = '3';
    bool current = true;
    int activeUntil = -1;  // day index from which a member who left no longer reports; -1: always
    std::string org;       // correspondents: organisation recorded on their reports
    std::string secondOrg; // a correspondent with roles in two organisations
    std::string oldName;   // reports before renamedOn carry this name
    int renamedOn = -1;
    bool active(int day) const { return activeUntil < 0 || day < activeUntil; }
};

Member member(std::string id, std::string name, char type)
{
    Member m;
    m.id = std::move(id);
    m.name = std::move(name);
    m.type = type;
    return m;
}

class Names {
public:
    explicit Names(Rng &rng) : m_rng(rng) {}
    // A Korean name not given out before, so that operators can be found by name.
    std::string person()
    {
        for (;;) {
            std::string n = std::string(m_rng.pick(data::surnames())) + m_rng.pick(data::givenSyllables()) +
                            m_rng.pick(data::givenSyllables());
            if (m_used.insert(n).second)
                return n;
        }
    }

private:
    Rng &m_rng;
    std::set<std::string> m_used;
};

struct Population {
    std::vector<Member> correspondents, police, citizens, staff, operators, fixed, others, institutions, zOthers;
    std::vector<std::pair<std::string, std::string>> organizations; // id, name (as in ORGANIZATION)
    std::vector<std::pair<std::string, std::string>> roles;         // individual, organisation
};

std::string numbered(int base, int i)
{
    return std::to_string(base + i);
}

Population makePopulation(Rng &rng, int days)
{
    Population p;
    Names names(rng);
    const int leaveDay = std::max(1, days * 3 / 5);
    const auto orgs = data::organizations();
    for (std::size_t i = 0; i < orgs.size(); ++i)
        p.organizations.emplace_back(std::to_string(101 + i), orgs[i]);
    // An organisation that roles and reports name but ORGANIZATION lacks.
    const std::string missingOrg = std::to_string(101 + orgs.size());

    for (int i = 1; i <= 60; ++i) {
        Member m = member(numbered(10000, i), names.person(), '1');
        m.org = p.organizations[std::size_t(i - 1) % p.organizations.size()].first;
        if (i == 1) { // recorded under its earlier name in the first half of the data
            m.oldName = names.person();
            m.renamedOn = days / 2;
        }
        if (i == 57 || i == 58)
            m.org = missingOrg;
        if (i == 59)
            m.secondOrg = p.organizations[5].first;
        if (i >= 51 && i <= 54) {
            m.current = false;
            m.activeUntil = leaveDay;
        }
        if (i != 60) // 60 has no ROLE row
            p.roles.emplace_back(m.id, m.org);
        if (!m.secondOrg.empty())
            p.roles.emplace_back(m.id, m.secondOrg);
        p.correspondents.push_back(m);
    }
    const auto fixed = data::fixedPoints();
    for (std::size_t i = 0; i < fixed.size(); ++i) {
        Member m = member(numbered(60000, int(i) + 1), fixed[i], '6');
        if (i == fixed.size() - 1) {
            m.current = false;
            m.activeUntil = leaveDay;
        }
        p.fixed.push_back(m);
    }
    const auto police = data::policePoints();
    for (std::size_t i = 0; i < police.size(); ++i) {
        Member m = member(numbered(20000, int(i) + 1), police[i], '2');
        if (i == police.size() - 1) {
            m.current = false;
            m.activeUntil = leaveDay;
        }
        p.police.push_back(m);
    }
    for (int i = 1; i <= 12; ++i) {
        Member m = member(numbered(50000, i), names.person(), i <= 8 ? '5' : 'A');
        if (i == 12) {
            m.current = false;
            m.activeUntil = leaveDay;
        }
        p.operators.push_back(m);
    }
    for (int i = 1; i <= 10; ++i)
        p.staff.push_back(member(numbered(40000, i), names.person(), '4'));
    const auto inst = data::institutions();
    for (std::size_t i = 0; i < inst.size(); ++i)
        p.institutions.push_back(member(numbered(80000, int(i) + 1), inst[i], '8'));
    const auto others = data::otherReporters();
    for (std::size_t i = 0; i < others.size(); ++i)
        p.others.push_back(member(numbered(70000, int(i) + 1), others[i], '7'));
    for (int i = 1; i <= 3; ++i)
        p.zOthers.push_back(member(numbered(90000, i), names.person(), 'Z'));
    for (int i = 1; i <= 1500; ++i)
        p.citizens.push_back(member(numbered(30000, i), names.person(), '3'));
    return p;
}

// ---------------------------------------------------------------- writing the reports
struct Writer {
    Rng &rng;
    const Population &pop;
    int guidanceCount;
    int noticeCount;
    Stmt insert;
    qint64 seq = 0;
    // The first lost-property reports take these codes, so that even a small database has every one.
    std::string owedSpeeds = "87654321";

    Writer(sqlite3 *db, Rng &r, const Population &p)
        : rng(r), pop(p), guidanceCount(int(data::guidanceDetails().size())),
          noticeCount(int(data::noticeDetails().size())),
          insert(db, "INSERT INTO REPORT_REQUISITION (REQUISITION_NUM, SEQ_NUM, REPORT_DATE, REGISTE_DATE, "
                     "REPORTER_TYPE, REPORTER_NAME, INDIVIDUAL_ID, ORGANIZATION_ID, INCIDENT_TYPE, "
                     "INCIDENT_SUBTYPE, COMMENTS, OPERATOR_NAME, REGISTER_NAME, SEND_FLAG, BROAD_FLAG, SPEED) "
                     "VALUES (" +
                         placeholders(16) + ")")
    {
    }

    const Member &activeMember(const std::vector<Member> &group, int day)
    {
        for (;;) {
            const Member &m = rng.pick(group);
            if (m.active(day))
                return m;
        }
    }

    // Citizens call in unevenly: a few call often, most once.
    const Member &citizen()
    {
        const double u = rng.unit();
        return pop.citizens[std::size_t(double(pop.citizens.size()) * u * u * u)];
    }

    std::string text(char content, bool lost)
    {
        std::string t = lost ? rng.pick(data::lostPropertySentences()) : rng.pick(data::sentences(content));
        auto fill = [&](const char *key, std::span<const char *const> words) {
            for (std::size_t at; (at = t.find(key)) != std::string::npos;)
                t.replace(at, 2, rng.pick(words));
        };
        fill("%R", data::roads());
        fill("%P", data::places());
        fill("%D", data::directions());
        const double u = rng.unit();
        const int extra = u < 0.55 ? 0 : u < 0.8 ? 1 : u < 0.95 ? 2 : 4;
        for (int i = 0; i < extra; ++i)
            t += std::string(" ") + rng.pick(data::followUps());
        return t;
    }

    void day(int dayIndex, const QDate &date, int count, bool fixedOnly, int lastSecond,
             const std::vector<const Member *> &onDuty)
    {
        static constexpr std::array<double, 24> weekdayHours{0.25, 0.15, 0.1, 0.1, 0.15, 0.35, 0.8, 1.6,
                                                             2.2,  1.7,  1.1, 1.0, 1.0,  1.0,  1.0, 1.1,
                                                             1.3,  1.9,  2.3, 1.8, 1.1,  0.8,  0.6, 0.4};
        static constexpr std::array<double, 24> weekendHours{0.35, 0.25, 0.15, 0.1, 0.1, 0.2, 0.4, 0.6,
                                                             0.8,  1.0,  1.2,  1.3, 1.3, 1.3, 1.3, 1.3,
                                                             1.3,  1.3,  1.2,  1.0, 0.9, 0.7, 0.6, 0.5};
        const bool weekend = date.dayOfWeek() >= 6;
        std::vector<int> seconds(static_cast<std::size_t>(count));
        for (int &s : seconds)
            s = rng.weighted(weekend ? weekendHours : weekdayHours) * 3600 + rng.below(3600);
        std::sort(seconds.begin(), seconds.end());

        char prefix[16];
        std::snprintf(prefix, sizeof prefix, "%04d-%02d-%02d ", date.year(), date.month(), date.day());
        char numPrefix[16];
        std::snprintf(numPrefix, sizeof numPrefix, "%02d%02d%02d", date.year() % 100, date.month(), date.day());
        int daily = 0;
        for (int sec : seconds) {
            if (sec > lastSecond)
                break;
            writeReport(dayIndex, prefix, numPrefix, ++daily, sec, std::min(lastSecond, sec + 30 + rng.below(870)),
                        fixedOnly, onDuty);
        }
    }

    const Member &reporter(char type, int dayIndex)
    {
        switch (type) {
        case '1':
            return activeMember(pop.correspondents, dayIndex);
        case '2':
            return activeMember(pop.police, dayIndex);
        case '3':
            return citizen();
        case '4':
            return rng.pick(pop.staff);
        case '5':
            return activeMember(pop.operators, dayIndex);
        case '6':
            return activeMember(pop.fixed, dayIndex);
        case '7':
            return rng.pick(pop.others);
        case '8':
            return rng.pick(pop.institutions);
        default:
            return rng.pick(pop.zOthers);
        }
    }

    void writeReport(int dayIndex, const char *prefix, const char *numPrefix, int daily, int sec, int regSec,
                     bool fixedOnly, const std::vector<const Member *> &onDuty)
    {
        // reporter type: 1 2 3 4 5 6 7 8 Z
        static constexpr std::array<double, 9> typeWeights{34, 12, 20, 4, 3, 20, 2, 3, 2};
        static constexpr char typeCodes[] = {'1', '2', '3', '4', '5', '6', '7', '8', 'Z'};
        const char type = fixedOnly ? '6' : typeCodes[rng.weighted(typeWeights)];
        const Member &m = reporter(type, dayIndex);
        const std::string &name = (m.renamedOn > dayIndex) ? m.oldName : m.name;
        std::string org;
        if (type == '1')
            org = (!m.secondOrg.empty() && rng.chance(0.5)) ? m.secondOrg : m.org;

        // content: 1 2 3 4 A B D E Z; citizens ask for guidance, institutions notify
        static constexpr char contentCodes[] = {'1', '2', '3', '4', 'A', 'B', 'D', 'E', 'Z'};
        std::array<double, 9> cw{8, 3, 15, 4, 15, 7, 3, 40, 3};
        if (type == '3')
            cw[5] = 30;
        if (type == '8')
            cw[6] = 60;
        char content = contentCodes[rng.weighted(cw)];
        // lost property: mostly citizens, correspondents (taxi drivers) and police
        char speed = '0';
        if ((type == '3' || type == '1' || type == '2') && rng.chance(0.04)) {
            static constexpr std::array<double, 8> kinds{5, 6, 2, 2, 3, 4, 1.5, 1.5};
            speed = char('1' + rng.weighted(kinds));
            if (!owedSpeeds.empty()) {
                speed = owedSpeeds.back();
                owedSpeeds.pop_back();
            }
            content = 'Z';
        }
        std::string subtype;
        if (content == 'B' || content == 'D') {
            const int n = content == 'B' ? guidanceCount : noticeCount;
            const double u = rng.unit();
            subtype = u < 0.08   ? std::string("Z")
                      : u < 0.10 ? std::to_string(n + 1 + rng.below(2))
                                 : std::to_string(1 + rng.below(n));
        }
        // handling: guidance, notices and lost property are mostly dealt with at the desk
        const bool deskMatter = content == 'B' || content == 'D' || speed != '0';
        const bool sent = rng.chance(deskMatter ? 0.15 : 0.75);
        const char *broad;
        if (sent) {
            const double u = rng.unit();
            broad = u < 0.6 ? "1" : u < 0.88 ? "0" : nullptr;
        } else {
            broad = rng.chance(0.6) ? "0" : nullptr;
        }
        const Member *receiver = onDuty[std::size_t(rng.below(int(onDuty.size())))];
        const Member *registrar = rng.chance(0.7) ? receiver : onDuty[std::size_t(rng.below(int(onDuty.size())))];

        char when[64], registered[64], num[64]; // roomy: the compiler cannot see the bounds of the parts
        std::snprintf(when, sizeof when, "%s%02d:%02d:%02d", prefix, sec / 3600, sec / 60 % 60, sec % 60);
        std::snprintf(registered, sizeof registered, "%s%02d:%02d:%02d", prefix, regSec / 3600, regSec / 60 % 60,
                      regSec % 60);
        std::snprintf(num, sizeof num, "%s%04d", numPrefix, daily);
        const char contentText[2] = {content, 0};
        const char typeText[2] = {type, 0};
        const char speedText[2] = {speed, 0};
        insert.text(1, num).integer(2, ++seq).text(3, when).text(4, registered).text(5, typeText).text(6, name);
        insert.text(7, m.id).textOrNull(8, org).text(9, contentText).textOrNull(10, subtype);
        insert.text(11, text(content, speed != '0')).text(12, receiver->name).text(13, registrar->name);
        insert.text(14, sent ? "1" : "0");
        if (broad)
            insert.text(15, broad);
        else
            insert.null(15);
        insert.text(16, speedText).run();
    }
};

void writeReference(sqlite3 *db, const Population &pop)
{
    Stmt ind(db, "INSERT INTO INDIVIDUAL (INDIVIDUAL_ID, INDIVIDUAL_NAME, TYPE, CUR) VALUES (?,?,?,?)");
    for (const auto *group : {&pop.correspondents, &pop.police, &pop.citizens, &pop.staff, &pop.operators, &pop.fixed,
                              &pop.others, &pop.institutions, &pop.zOthers}) {
        for (const Member &m : *group) {
            const char type[2] = {m.type, 0};
            ind.text(1, m.id).text(2, m.name).text(3, type).text(4, m.current ? "Y" : "N").run();
        }
    }
    Stmt org(db, "INSERT INTO ORGANIZATION (ORGANIZATION_ID, NAME) VALUES (?,?)");
    for (const auto &[id, name] : pop.organizations)
        org.text(1, id).text(2, name).run();
    Stmt role(db, "INSERT INTO ROLE (INDIVIDUAL_ID, ORGANIZATION_ID) VALUES (?,?)");
    for (const auto &[id, o] : pop.roles)
        role.text(1, id).text(2, o).run();

    Stmt code(db, "INSERT INTO BASE_CODE (BAS_LCOD, BAS_SCOD, BAS_NAME) VALUES (?,?,?)");
    const auto offices = data::offices();
    for (std::size_t i = 0; i < offices.size(); ++i) {
        char sc[16];
        std::snprintf(sc, sizeof sc, "%03d", int(i) + 1);
        code.text(1, "001").text(2, sc).text(3, offices[i]).run();
    }
    auto subList = [&](char prefix, const char *heading, std::span<const char *const> items) {
        char sc[16];
        std::snprintf(sc, sizeof sc, "%c00", prefix);
        code.text(1, "100").text(2, sc).text(3, heading).run();
        for (std::size_t i = 0; i < items.size(); ++i) {
            std::snprintf(sc, sizeof sc, "%c%02d", prefix, int(i) + 1);
            code.text(1, "100").text(2, sc).text(3, items[i]).run();
        }
    };
    subList('8', "안내서비스", data::guidanceDetails());
    subList('9', "기관통보", data::noticeDetails());

    Stmt msg(db, "INSERT INTO MESSAGE (M_CODE, M_TITLE, M_DESC) VALUES (?,?,?)");
    msg.text(1, "ERR0158").text(2, "자료 없음").text(3, "선택하신 날짜에 출력할 자료가 없습니다.").run();
    msg.text(1, "INF0067").text(2, "검색 조건").text(3, "세부검색 항목을 고른 뒤 검색 버튼을 누르십시오.").run();

    Stmt user(db, "INSERT INTO USER_MANAGE (USERID, USERPASS, APPNAME, USERLEVEL, USERNAME, REMARK) "
                  "VALUES (?,?,?,?,?,?)");
    const std::string demoUser = kDemoUser.toStdString();
    const std::string demoPass = kDemoPassword.toStdString();
    const std::string app = kDemoAppName.toStdString();
    user.text(1, demoUser).text(2, demoPass).text(3, app).text(4, "1").text(5, "데모 운영자").text(6, "시연용").run();
    // The same account for the program's name on Windows, where the file name carries ".EXE".
    user.text(1, demoUser)
        .text(2, demoPass)
        .text(3, app + ".EXE")
        .text(4, "1")
        .text(5, "데모 운영자")
        .text(6, "시연용")
        .run();
    user.text(1, "entry")
        .text(2, "entry")
        .text(3, "TIPENTRY")
        .text(4, "1")
        .text(5, "접수 담당")
        .text(6, "다른 프로그램")
        .run();
    user.text(1, "guest").text(2, "guest").text(3, app).text(4, "").text(5, "손님").text(6, "등급 없음").run();
}

} // namespace

DemoSummary buildDemoDb(const DemoOptions &options)
{
    if (options.out.isEmpty())
        throw std::runtime_error("만들 데이터베이스 파일이 주어지지 않았습니다");
    if (options.days < kMinDays)
        throw std::runtime_error(QStringLiteral("--days 는 %1 이상이어야 합니다").arg(kMinDays).toStdString());
    if (options.perDay < kMinPerDay)
        throw std::runtime_error(QStringLiteral("--per-day 는 %1 이상이어야 합니다").arg(kMinPerDay).toStdString());
    if (QFileInfo::exists(options.out))
        throw std::runtime_error(
            QStringLiteral("%1: 파일이 이미 있어 덮어쓰지 않습니다").arg(options.out).toStdString());
    const QString part = options.out + QStringLiteral(".part");
    QFile::remove(part);

    const QDateTime now = QDateTime::currentDateTime();
    const QDate lastDay = options.until.isValid() ? options.until : now.date();
    const int lastSecond = options.until.isValid() ? 86399 : now.time().msecsSinceStartOfDay() / 1000;
    const QDate firstDay = lastDay.addDays(-(options.days - 1));
    auto report = [&](const QString &m) {
        if (options.progress)
            options.progress(m);
    };

    sqlite3 *db = nullptr;
    if (sqlite3_open(part.toUtf8().constData(), &db) != SQLITE_OK) {
        const std::string m = db ? sqlite3_errmsg(db) : "out of memory";
        sqlite3_close(db);
        throw std::runtime_error(
            QStringLiteral("%1: 파일을 만들 수 없습니다 (%2)").arg(part, QString::fromUtf8(m.c_str())).toStdString());
    }
    DemoSummary summary;
    try {
        // Nothing needs protecting until the file is complete: a failed build is deleted.
        exec(db, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; PRAGMA cache_size=-200000;");
        exec(db, app::tablesScript().toUtf8().constData());
        exec(db, "BEGIN");
        Rng rng(options.seed);
        const Population pop = makePopulation(rng, options.days);
        writeReference(db, pop);

        Writer w(db, rng, pop);
        const int fixedOnlyDay = options.days - 1 - std::max(1, options.days / 3);
        QElapsedTimer timer;
        timer.start();
        std::vector<const Member *> active;
        for (int d = 0; d < options.days; ++d) {
            const QDate date = firstDay.addDays(d);
            static constexpr double weekdayFactor[] = {0, 1.1, 1.08, 1.08, 1.08, 1.12, 0.8, 0.6};
            double factor = weekdayFactor[date.dayOfWeek()] * (0.9 + 0.2 * rng.unit());
            const bool fixedOnly = d == fixedOnlyDay;
            if (fixedOnly)
                factor = 0.12; // a holiday: only the fixed report points called in
            const int count = std::max(1, int(options.perDay * factor + 0.5));
            active.clear();
            for (const Member &m : pop.operators) {
                if (m.active(d))
                    active.push_back(&m);
            }
            // Three operators on duty, rotating from day to day.
            std::vector<const Member *> onDuty;
            for (int j = 0; j < 3; ++j)
                onDuty.push_back(active[std::size_t(d * 3 + j) % active.size()]);
            w.day(d, date, count, fixedOnly, d == options.days - 1 ? lastSecond : 86399, onDuty);
            if ((d + 1) % 30 == 0 || d + 1 == options.days)
                report(QStringLiteral("%1/%2 days, %3 reports, %4 s")
                           .arg(d + 1)
                           .arg(options.days)
                           .arg(w.seq)
                           .arg(double(timer.elapsed()) / 1000.0, 0, 'f', 1));
        }
        summary.reports = w.seq;
        report(QStringLiteral("building the indexes"));
        exec(db, app::indexesScript().toUtf8().constData());
        exec(db, "COMMIT");
        exec(db, "PRAGMA journal_mode=DELETE");
        report(QStringLiteral("deriving the statistics"));
        {
            // The statistics job's own derivation. The last day is still open: it has none yet.
            db::EmbeddedBackend backend(part);
            backend.open();
            summary.statisticsRows = app::deriveStatistics(backend, {{firstDay, lastDay.addDays(-1)}}).rows;
        }
        exec(db, "ANALYZE");
    } catch (const std::exception &e) {
        sqlite3_close(db);
        QFile::remove(part);
        throw std::runtime_error(QStringLiteral("%1: 데모 데이터베이스를 쓰지 못했습니다 (%2)")
                                     .arg(part, QString::fromUtf8(e.what()))
                                     .toStdString());
    }
    if (sqlite3_close(db) != SQLITE_OK) {
        QFile::remove(part);
        throw std::runtime_error(QStringLiteral("%1: 파일을 닫지 못했습니다").arg(part).toStdString());
    }
    if (!QFile::rename(part, options.out)) {
        QFile::remove(part);
        throw std::runtime_error(
            QStringLiteral("%1: %2 (으)로 옮기지 못했습니다").arg(part, options.out).toStdString());
    }
    summary.days = options.days;
    summary.firstDay = firstDay;
    summary.lastDay = lastDay;
    return summary;
}

} // namespace tipdesk::demo
