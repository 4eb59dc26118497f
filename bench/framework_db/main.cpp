// Reading speed of the data access framework against the Firebird client alone.
//
// Builds a table of 100 000 rows in a database of its own on the local server,
// then reads it three ways, taking turns, in each of five runs: a bare OO-API
// fetch loop (the floor), fw::SqlQuery keeping every record, and fw::SqlQuery
// forward-only. Prints every run's time and processor-time ratios against the
// floor (medians of the run's turns), and the heap the forward-only and kept
// reads hold for 50 000 and 100 000 rows.
#include "framework/db/Database.h"
#include "framework/base/Error.h"
#include "framework/db/SqlQuery.h"
#include "framework/db/SqlStatement.h"
#include "framework/db/Transaction.h"

#include <firebird/Interface.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>
#include <ctime>

#include <malloc.h>
#include <unistd.h>

namespace {

constexpr int kRows = 100000;
constexpr int kRepeats = 5;

QString sysdbaPassword()
{
    const QByteArray env = qgetenv("VELMORA_SYSDBA_PASSWORD");
    if (!env.isEmpty())
        return QString::fromLocal8Bit(env);
    QFile f(QStringLiteral("/etc/firebird/3.0/SYSDBA.password"));
    if (f.open(QIODevice::ReadOnly)) {
        static const QRegularExpression re(QStringLiteral("^ISC_PASSWORD=\"?([^\"\\n]*)\"?"),
                                           QRegularExpression::MultilineOption);
        const auto m = re.match(QString::fromLocal8Bit(f.readAll()));
        if (m.hasMatch())
            return m.captured(1);
    }
    return QStringLiteral("masterkey");
}

// Creates and drops the benchmark's database with the bare client.
class ScratchDatabase
{
public:
    ScratchDatabase(const QString &file, const QString &password) : m_name(("localhost:" + file).toStdString())
    {
        using namespace Firebird;
        IMaster *master = fb_get_master_interface();
        IStatus *st = master->getStatus();
        CheckStatusWrapper s(st);
        IXpbBuilder *dpb = master->getUtilInterface()->getXpbBuilder(&s, IXpbBuilder::DPB, nullptr, 0);
        dpb->insertString(&s, isc_dpb_user_name, "SYSDBA");
        dpb->insertString(&s, isc_dpb_password, password.toLatin1().constData());
        dpb->insertInt(&s, isc_dpb_sql_dialect, 1);
        dpb->insertInt(&s, isc_dpb_page_size, 8192);
        dpb->insertString(&s, isc_dpb_set_db_charset, "ISO8859_1");
        IProvider *provider = master->getDispatcher();
        m_attachment = provider->createDatabase(&s, m_name.c_str(), dpb->getBufferLength(&s), dpb->getBuffer(&s));
        const bool failed = s.getState() & IStatus::STATE_ERRORS;
        char text[1024] = {};
        if (failed)
            master->getUtilInterface()->formatStatus(text, sizeof text - 1, st);
        dpb->dispose();
        provider->release();
        st->dispose();
        if (failed)
            throw std::runtime_error(std::string("cannot create the benchmark database: ") + text);
    }
    ~ScratchDatabase()
    {
        using namespace Firebird;
        IMaster *master = fb_get_master_interface();
        IStatus *st = master->getStatus();
        CheckStatusWrapper s(st);
        m_attachment->dropDatabase(&s);
        if (s.getState() & IStatus::STATE_ERRORS)
            m_attachment->release();
        st->dispose();
    }
    const std::string &name() const { return m_name; }

private:
    std::string m_name;
    Firebird::IAttachment *m_attachment = nullptr;
};

struct Measure
{
    double seconds;
    double cpu; // this process's processor time
};

double processCpu()
{
    timespec ts{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

// Median time and median processor time, each on its own.
Measure median(std::vector<Measure> v)
{
    std::sort(v.begin(), v.end(), [](const Measure &a, const Measure &b) { return a.seconds < b.seconds; });
    const double seconds = v[v.size() / 2].seconds;
    std::sort(v.begin(), v.end(), [](const Measure &a, const Measure &b) { return a.cpu < b.cpu; });
    return {seconds, v[v.size() / 2].cpu};
}

Measure measure(const std::function<void()> &f)
{
    const double cpu = processCpu();
    const auto start = std::chrono::steady_clock::now();
    f();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    return {took.count(), processCpu() - cpu};
}

std::string loadAverage()
{
    QFile f(QStringLiteral("/proc/loadavg"));
    return f.open(QIODevice::ReadOnly) ? f.readLine().toStdString() : std::string("unknown\n");
}

size_t heapInUse()
{
    return mallinfo2().uordblks;
}

struct Totals
{
    long long ids = 0;
    long long chars = 0;
    double amount = 0;
    int rows = 0;
};

// The floor: the same select, fetched with the Firebird client and nothing else.
Totals bareLoop(fw::Database &db, fw::Transaction &tra, int limit)
{
    using namespace Firebird;
    IMaster *master = fb_get_master_interface();
    IStatus *st = master->getStatus();
    ThrowStatusWrapper s(st);
    Totals t;
    const char *sql = "SELECT ID, NOMBRE, IMPORTE, FECHA FROM BENCH WHERE ID < ?";
    IStatement *stmt = db.attachment()->prepare(&s, tra.handle(), 0, sql, 1, IStatement::PREPARE_PREFETCH_METADATA);
    IMessageMetadata *in = stmt->getInputMetadata(&s);
    IMetadataBuilder *builder = in->getBuilder(&s);
    builder->setType(&s, 0, SQL_LONG + 1);
    builder->setLength(&s, 0, 4);
    builder->setScale(&s, 0, 0);
    IMessageMetadata *inMeta = builder->getMetadata(&s);
    builder->release();
    std::vector<unsigned char> inBuf(inMeta->getMessageLength(&s));
    *reinterpret_cast<int *>(inBuf.data() + inMeta->getOffset(&s, 0)) = limit;
    *reinterpret_cast<short *>(inBuf.data() + inMeta->getNullOffset(&s, 0)) = 0;
    IMessageMetadata *out = stmt->getOutputMetadata(&s);
    std::vector<unsigned char> buf(out->getMessageLength(&s));
    const unsigned idOff = out->getOffset(&s, 0), nameOff = out->getOffset(&s, 1), amountOff = out->getOffset(&s, 2);
    IResultSet *rs = stmt->openCursor(&s, tra.handle(), inMeta, inBuf.data(), out, 0);
    while (rs->fetchNext(&s, buf.data()) == IStatus::RESULT_OK) {
        t.ids += *reinterpret_cast<const int *>(buf.data() + idOff);
        t.chars += *reinterpret_cast<const unsigned short *>(buf.data() + nameOff);
        t.amount += *reinterpret_cast<const double *>(buf.data() + amountOff);
        ++t.rows;
    }
    rs->close(&s);
    stmt->free(&s);
    out->release();
    inMeta->release();
    in->release();
    st->dispose();
    return t;
}

Totals frameworkLoop(fw::Database &db, bool forwardOnly, int limit, size_t *peakHeap = nullptr)
{
    Totals t;
    const size_t base = heapInUse();
    size_t peak = 0;
    fw::SqlQuery q;
    q.setDatabase(&db);
    q.setUniDirectional(forwardOnly);
    q.setSql(QStringList{"SELECT ID, NOMBRE, IMPORTE, FECHA FROM BENCH", "WHERE ID < :LIMITE"});
    q.paramByName("LIMITE").setAsInteger(limit);
    q.open();
    fw::Field &id = q.fieldByName("ID");
    fw::Field &name = q.fieldByName("NOMBRE");
    fw::Field &amount = q.fieldByName("IMPORTE");
    for (; !q.eof(); q.next()) {
        t.ids += id.value().toInt();
        t.chars += name.value().toString().size();
        t.amount += amount.value().toDouble();
        if (peakHeap && (++t.rows & 1023) == 0)
            peak = std::max(peak, heapInUse() - std::min(heapInUse(), base));
        else if (!peakHeap)
            ++t.rows;
    }
    if (peakHeap)
        *peakHeap = std::max(peak, heapInUse() - std::min(heapInUse(), base));
    q.close();
    return t;
}

} // namespace

int main(int argc, char **argv)
{
    // Turns per run; the first argument may change it (1 under a profiler).
    const int kTurns = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    try {
        const QString folder = QStringLiteral("/tmp/velmora-bench");
        QDir().mkpath(folder);
        QFile::setPermissions(folder, QFileDevice::Permissions(0x7777));
        const QString file = QStringLiteral("%1/framework_db-%2.fdb").arg(folder).arg(::getpid());
        const QString password = sysdbaPassword();
        ScratchDatabase scratch(file, password);

        fw::Database db;
        fw::Transaction tra;
        db.setDatabaseName(QString::fromStdString(scratch.name()));
        db.params() = QStringList{"user_name=SYSDBA", "password=" + password, "lc_ctype=ISO8859_1"};
        tra.setParams({"read_committed", "rec_version", "nowait"});
        tra.setDatabase(&db);
        db.setDefaultTransaction(&tra);
        db.open();
        tra.start();

        fw::SqlStatement ddl;
        ddl.setDatabase(&db);
        ddl.setSql("CREATE TABLE BENCH (ID INTEGER NOT NULL, NOMBRE VARCHAR(40), IMPORTE NUMERIC(15,2), FECHA DATE)");
        ddl.execute();
        tra.commitRetaining();
        ddl.setSql(QStringList{"EXECUTE BLOCK AS DECLARE I INTEGER = 0;", "BEGIN",
                               QStringLiteral("  WHILE (I < %1) DO BEGIN").arg(kRows),
                               "    INSERT INTO BENCH VALUES (:I, 'Cliente número ' || :I, :I * 1.25, CURRENT_TIMESTAMP);",
                               "    I = I + 1;", "  END", "END"});
        ddl.execute();
        tra.commitRetaining();

        // A first read of each way warms the server's page cache and this
        // process's heap; then the three ways take turns within each run, so a
        // busy machine slows them alike, and every run's ratios are printed. The
        // processor time is this process's own: the client library's decoding
        // plus, for the framework, its records.
        Totals bare, kept, forward;
        bareLoop(db, tra, kRows);
        frameworkLoop(db, false, kRows);
        frameworkLoop(db, true, kRows);
        std::printf("load average at start: %s", loadAverage().c_str());
        std::printf("rows %d; each run takes %d turns of the three ways and compares their medians\n", kRows,
                    kTurns);
        std::printf("run  bare s   kept records         forward-only      (time ratio, processor time ratio)\n");
        double worstKept = 0, worstForward = 0;
        for (int i = 0; i < kRepeats; ++i) {
            std::vector<Measure> b, k, f;
            for (int t = 0; t < kTurns; ++t) {
                b.push_back(measure([&] { bare = bareLoop(db, tra, kRows); }));
                k.push_back(measure([&] { kept = frameworkLoop(db, false, kRows); }));
                f.push_back(measure([&] { forward = frameworkLoop(db, true, kRows); }));
            }
            const Measure mb = median(b), mk = median(k), mf = median(f);
            std::printf("%-4d %.3f   %.2fx (cpu %.2fx)     %.2fx (cpu %.2fx)\n", i + 1, mb.seconds,
                        mk.seconds / mb.seconds, mk.cpu / mb.cpu, mf.seconds / mb.seconds, mf.cpu / mb.cpu);
            worstKept = std::max(worstKept, mk.seconds / mb.seconds);
            worstForward = std::max(worstForward, mf.seconds / mb.seconds);
        }
        if (bare.rows != kRows || kept.rows != kRows || forward.rows != kRows || bare.ids != kept.ids
            || bare.chars != forward.chars) {
            std::fprintf(stderr, "row totals differ: bare %d kept %d forward %d\n", bare.rows, kept.rows,
                         forward.rows);
            return 1;
        }
        std::printf("worst run: kept records %.2fx (target <= 1.15x), forward-only %.2fx (target < 1.10x)\n",
                    worstKept, worstForward);
        std::printf("load average at end: %s", loadAverage().c_str());

        size_t forward50 = 0, forward100 = 0, kept50 = 0, kept100 = 0;
        malloc_trim(0);
        frameworkLoop(db, true, kRows / 2, &forward50);
        malloc_trim(0);
        frameworkLoop(db, true, kRows, &forward100);
        malloc_trim(0);
        frameworkLoop(db, false, kRows / 2, &kept50);
        malloc_trim(0);
        frameworkLoop(db, false, kRows, &kept100);

        std::printf("forward-only peak heap        %zu bytes at 50k rows, %zu bytes at 100k rows\n", forward50,
                    forward100);
        std::printf("kept records peak heap        %zu bytes at 50k rows, %zu bytes at 100k rows\n", kept50, kept100);
        tra.rollback();
        db.close();
    } catch (const fw::Error &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
