#include "host/DemoGenerator.h"

#include "db/Failure.h"
#include "host/DemoSchema.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <memory>
#include <sqlite3.h>
#include <string>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// splitmix64: small, fast and the same on every platform, unlike the standard distributions.
class Random
{
public:
    explicit Random(quint64 seed) : m_state(seed * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull) {}
    quint64 next()
    {
        quint64 z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int between(int low, int high) { return low + int(next() % quint64(high - low + 1)); }
    bool chance(int percent) { return int(next() % 100) < percent; }
    template<typename T, size_t N> const T &pick(const std::array<T, N> &items)
    {
        return items[size_t(next() % N)];
    }

private:
    quint64 m_state;
};

double money(double value)
{
    return std::round(value * 100.0) / 100.0;
}

struct StatementDeleter
{
    void operator()(sqlite3_stmt *s) const { sqlite3_finalize(s); }
};

// One prepared INSERT, bound and run a row at a time.
class Inserter
{
public:
    Inserter(sqlite3 *db, const char *sql) : m_db(db)
    {
        sqlite3_stmt *raw = nullptr;
        check(sqlite3_prepare_v2(db, sql, -1, &raw, nullptr));
        m_statement.reset(raw);
    }
    Inserter &operator<<(qint64 v)
    {
        return bindWith(sqlite3_bind_int64(m_statement.get(), ++m_column, v));
    }
    Inserter &operator<<(int v) { return *this << qint64(v); }
    Inserter &operator<<(double v)
    {
        return bindWith(sqlite3_bind_double(m_statement.get(), ++m_column, v));
    }
    Inserter &operator<<(const std::string &v)
    {
        return bindWith(sqlite3_bind_text(m_statement.get(), ++m_column, v.data(), int(v.size()),
                                          SQLITE_TRANSIENT));
    }
    Inserter &operator<<(std::nullptr_t)
    {
        return bindWith(sqlite3_bind_null(m_statement.get(), ++m_column));
    }
    void run()
    {
        if (sqlite3_step(m_statement.get()) != SQLITE_DONE)
            check(sqlite3_errcode(m_db));
        sqlite3_reset(m_statement.get());
        m_column = 0;
    }

private:
    Inserter &bindWith(int rc)
    {
        check(rc);
        return *this;
    }
    void check(int rc) const
    {
        if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW)
            throw Failure(QString::fromUtf8(sqlite3_errmsg(m_db)), u"SQLite"_s);
    }

    sqlite3 *m_db;
    std::unique_ptr<sqlite3_stmt, StatementDeleter> m_statement;
    int m_column = 0;
};

struct Product
{
    std::string id;
    double price;
    double taxRatio; // percent
    int weight;      // how often it sells
};

struct Customer
{
    std::string id;
    int sector;
};

struct SaleLine
{
    std::string product;
    double qty, bonus, price, discRatio, discValue, taxRatio, taxValue;
};

std::string dateText(QDate d)
{
    return d.toString(Qt::ISODate).toStdString();
}

class Generator
{
public:
    Generator(sqlite3 *db, const DemoDatabase::Options &o)
        : m_db(db), m_options(o), m_random(o.seed)
    {
    }

    void run()
    {
        m_start = m_options.endDate.addDays(-364);
        exec(DemoSchema::tables());
        exec("BEGIN");
        registry();
        townsAndSectors();
        companiesUnitsProducts();
        parties();
        sales();
        purchases();
        stock();
        exec("COMMIT");
        exec(DemoSchema::indexes());
        exec("PRAGMA analysis_limit = 2000; ANALYZE;");
    }

private:
    void exec(const char *sql)
    {
        char *message = nullptr;
        if (sqlite3_exec(m_db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
            const QString why = QString::fromUtf8(message ? message : "unknown error");
            sqlite3_free(message);
            throw Failure(why, u"SQLite"_s);
        }
    }

    void registry()
    {
        Inserter reg(m_db, "INSERT INTO Project_registry VALUES (?, ?)");
        reg << std::string("companyname") << DemoDatabase::companyName().toStdString();
        reg.run();
        // The financial year starts on the first of July.
        QDate periodStart(m_options.endDate.year(), 7, 1);
        if (periodStart > m_options.endDate)
            periodStart = periodStart.addYears(-1);
        reg << std::string("periodstart") << dateText(periodStart);
        reg.run();
    }

    void townsAndSectors()
    {
        static const std::array<const char *, 24> towns{
            "Ashford", "Bramley",         "Carrow",   "Dunmore",  "Eastleigh", "Fenwick",
            "Glenarm", "Harlow",          "Inverary", "Kilrush",  "Lisburn",   "Marlow",
            "Newry",   "O'Brien's Cross", "Portree",  "Rathmore", "Sligo",     "Tralee",
            "Upton",   "Wexford",         "Youghal",  "Ballina",  "Cobh",      "Ennis"};
        static const std::array<const char *, 7> areas{
            "Main Bazaar", "North", "South", "Rural", "Canal Road", "Station Road", "Grain Market"};
        Inserter town(m_db, "INSERT INTO Towns VALUES (?, ?)");
        Inserter sector(m_db, "INSERT INTO Sectors VALUES (?, ?, ?)");
        // Town 0 holds the counter sales of the head office.
        town << 0 << std::string("Head Office");
        town.run();
        sector << 1 << std::string("Counter Sales") << 0;
        sector.run();
        m_sectorTown.push_back({1, 0});
        int sectorId = 2;
        for (size_t t = 0; t < towns.size(); ++t) {
            const int townId = int(t) + 1;
            town << townId << std::string(towns[t]);
            town.run();
            m_townNames.push_back(towns[t]);
            const int count = m_random.between(2, 4);
            for (int k = 0; k < count; ++k) {
                sector << sectorId
                       << std::string(towns[t]) + " " + areas[size_t(k + int(t)) % areas.size()]
                       << townId;
                sector.run();
                m_sectorTown.push_back({sectorId, townId});
                ++sectorId;
            }
        }
        // A sector left over from a town that has since been deleted.
        sector << 999 << std::string("Old Depot (closed)") << 99;
        sector.run();
    }

    void companiesUnitsProducts()
    {
        static const std::array<const char *, 12> companies{
            "Crescent Agro Chemicals",    "Evergreen Seeds",
            "Northstar Fertilizers",      "Harvest Gold Crop Care",
            "Bluefield Pesticides",       "Riverside Feeds",
            "Sunrise Agri Tech",          "Greenline Sprayers",
            "Kestrel Animal Health",      "Meadowbrook Nutrition",
            "Orchard Valley Fertilizers", "Summit Crop Sciences"};
        static const std::array<const char *, 7> units{"Bag", "Bottle", "Packet", "Litre",
                                                       "Kg",  "Carton", "Can"};
        struct Line
        {
            const char *name;
            int unit;
            double price;
            double tax;
        };
        static const std::array<Line, 30> catalogue{{{"Urea 50kg", 1, 3650, 0},
                                                     {"DAP 50kg", 1, 11200, 0},
                                                     {"SOP 50kg", 1, 9800, 0},
                                                     {"Nitrophos 50kg", 1, 7400, 0},
                                                     {"CAN 50kg", 1, 4100, 0},
                                                     {"Zinc Sulphate 10kg", 5, 1850, 17},
                                                     {"Boron 3kg", 5, 1320, 17},
                                                     {"Imidacloprid 20SL 250ml", 2, 780, 17},
                                                     {"Lambda 2.5EC 500ml", 2, 1150, 17},
                                                     {"Emamectin 1.9EC 200ml", 2, 940, 17},
                                                     {"Glyphosate 48SL 1L", 4, 1480, 17},
                                                     {"Chlorpyrifos 40EC 1L", 4, 1690, 17},
                                                     {"Bifenthrin 10EC 250ml", 2, 860, 17},
                                                     {"Mancozeb 80WP 1kg", 3, 1240, 17},
                                                     {"Atrazine 38SC 1L", 4, 1320, 17},
                                                     {"Wheat Seed 50kg", 1, 7600, 0},
                                                     {"Maize Hybrid 10kg", 1, 8900, 0},
                                                     {"Cotton Seed 10kg", 1, 5200, 0},
                                                     {"Rice Seed 20kg", 1, 6100, 0},
                                                     {"Cattle Feed 40kg", 1, 3900, 0},
                                                     {"Poultry Feed 50kg", 1, 5600, 0},
                                                     {"Mineral Mix 1kg", 3, 640, 17},
                                                     {"Dewormer 100ml", 2, 420, 17},
                                                     {"Knapsack Sprayer 16L", 7, 6800, 17},
                                                     {"Spray Nozzle Set", 3, 350, 17},
                                                     {"Humic Acid 1L", 4, 980, 17},
                                                     {"Seaweed Extract 500ml", 2, 1120, 17},
                                                     {"Sulphur 90WG 3kg", 5, 1450, 17},
                                                     {"Copper Oxychloride 1kg", 3, 1180, 17},
                                                     {"Gibberellic Acid 10g", 3, 560, 17}}};

        Inserter company(m_db, "INSERT INTO Companies VALUES (?, ?)");
        Inserter unit(m_db, "INSERT INTO Units VALUES (?, ?)");
        Inserter product(m_db, "INSERT INTO Products VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
        for (size_t u = 0; u < units.size(); ++u) {
            unit << int(u) + 1 << std::string(units[u]);
            unit.run();
        }
        for (size_t c = 0; c < companies.size(); ++c) {
            const int companyId = 11 + int(c); // two digits; every product id starts with them
            company << companyId << std::string(companies[c]);
            company.run();
            m_suppliersByCompany.push_back(companyId);
            const int count = m_random.between(20, 30);
            for (int k = 1; k <= count; ++k) {
                const Line &line = catalogue[size_t(m_random.next() % catalogue.size())];
                char id[16];
                std::snprintf(id, sizeof id, "%02d%03d", companyId, k);
                std::string name = line.name;
                if (k > 15)
                    name +=
                        " (" +
                        std::string(companies[c]).substr(0, std::string(companies[c]).find(' ')) +
                        ")";
                const double price =
                    money(line.price * (0.85 + double(m_random.between(0, 30)) / 100.0));
                product << std::string(id) << name << companyId << line.unit << price;
                // Flag columns: crop purchases, empty bags (bardana) and broker items are
                // kept apart from the ordinary trade.
                if (k == count) {
                    product << 1 << 0 << nullptr; // a crop item
                } else if (k == count - 1 && c == 0) {
                    product << nullptr << 0 << nullptr; // crop flag never filled in
                } else if (k == count - 1 && c == 1) {
                    product << 0 << 1 << nullptr; // bardana
                } else if (k == count - 1 && c == 2) {
                    product << 0 << 0 << 1; // broker item
                } else {
                    product << 0 << 0 << nullptr;
                }
                product.run();
                if (k < count - 1 || (c > 2 && k == count - 1)) {
                    m_productsByCompany[companyId].push_back(m_products.size());
                    m_products.push_back({id, price, line.tax, m_random.between(1, 10)});
                }
            }
        }
        for (const Product &p : m_products)
            m_productWeightTotal += p.weight;
    }

    void parties()
    {
        static const std::array<const char *, 32> surnames{
            "Ahmed",   "Baker",    "Collins", "O'Hara",  "Dawson",  "Evans",  "Fletcher", "Gill",
            "Hussain", "Irwin",    "Jackson", "Khan",    "Lawson",  "Malik",  "O'Neil",   "Nolan",
            "Patel",   "Quinn",    "Rashid",  "D'Souza", "Shah",    "Turner", "Usman",    "Vaughan",
            "Walsh",   "O'Connor", "Yousaf",  "Zaman",   "Brennan", "Murphy", "Siddiqui", "Kelly"};
        static const std::array<const char *, 8> trades{
            "Traders",       "Agro Store",   "Seed House", "& Sons",
            "Farm Services", "Kisan Centre", "Crop Care",  "Pesticides"};
        Inserter party(m_db, "INSERT INTO Parties VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)");
        Inserter account(m_db, "INSERT INTO ChartOfAccounts VALUES (?, ?, ?)");
        const int customers = std::max(1, m_options.customers);
        for (int i = 1; i <= customers; ++i) {
            char id[16];
            if (customers <= 9999)
                std::snprintf(id, sizeof id, "C%04d", i);
            else
                std::snprintf(id, sizeof id, "%c%c%03d", 'A' + (i / 1000) / 26 % 26,
                              'A' + (i / 1000) % 26, i % 1000);
            const auto &[sectorId, townId] =
                m_sectorTown[size_t(1 + m_random.next() % (m_sectorTown.size() - 1))];
            std::string name = std::string(m_random.pick(surnames)) + " " + m_random.pick(trades);
            if (m_random.chance(3)) // typed in lower case at the counter
                std::transform(name.begin(), name.end(), name.begin(),
                               [](unsigned char ch) { return char(std::tolower(ch)); });
            const std::string city = townId == 0 ? "Head Office" : m_townNames[size_t(townId - 1)];
            char phone[24];
            std::snprintf(phone, sizeof phone, "0%d-%07d", m_random.between(21, 99),
                          m_random.between(1000000, 9999999));
            party << std::string(id) << name << name << city
                  << "Shop " + std::to_string(i) + ", " + city << std::string(phone) << sectorId
                  << 1 << 0;
            party.run();
            account << std::string(id) << name << std::string("Customer");
            account.run();
            m_customers.push_back({id, sectorId});
        }
        // Counter-sale customer of the head office.
        party << std::string("CASH") << std::string("Cash Sales") << std::string("Cash Sales")
              << std::string("Head Office") << std::string("Head Office") << std::string("") << 1
              << 1 << 0;
        party.run();
        account << std::string("CASH") << std::string("Cash Sales") << std::string("Customer");
        account.run();
        m_customers.push_back({"CASH", 1});
        for (int companyId : m_suppliersByCompany) {
            const std::string id = "S" + std::to_string(companyId);
            party << id << "Supplier " + std::to_string(companyId) << nullptr
                  << std::string("Head Office") << nullptr << nullptr << nullptr << 0 << 1;
            party.run();
            account << id << "Supplier " + std::to_string(companyId) << std::string("Supplier");
            account.run();
        }
    }

    const Product &pickProduct()
    {
        int r = int(m_random.next() % quint64(m_productWeightTotal));
        for (const Product &p : m_products) {
            r -= p.weight;
            if (r < 0)
                return p;
        }
        return m_products.back();
    }

    SaleLine makeLine(const Product &p)
    {
        SaleLine l;
        l.product = p.id;
        l.qty = m_random.between(1, 10) * (m_random.chance(20) ? 10 : 1);
        l.bonus = m_random.chance(12) ? std::max(1.0, std::floor(l.qty / 10)) : 0;
        l.price = m_random.chance(85)
                      ? p.price
                      : money(p.price * (0.95 + double(m_random.between(0, 10)) / 100.0));
        static const std::array<double, 6> ratios{0, 0, 0, 2, 2.5, 5};
        l.discRatio = m_random.pick(ratios);
        l.discValue = m_random.chance(10) ? double(m_random.between(1, 5) * 5) : 0;
        l.taxRatio = p.taxRatio;
        l.taxValue = (p.taxRatio == 0 && m_random.chance(8)) ? 5 : 0;
        return l;
    }

    static void bindLineValues(Inserter &ins, const SaleLine &l)
    {
        const double unitDisc = l.price * l.discRatio / 100 + l.discValue;
        const double unitTax = l.price * l.taxRatio / 100 + l.taxValue;
        ins << l.product << l.qty << l.bonus << l.price << l.discRatio << l.discValue << l.taxRatio
            << l.taxValue << money(l.qty * (l.price - unitDisc)) << money(l.qty * unitTax);
    }

    void sales()
    {
        Inserter sale(m_db, "INSERT INTO Sales VALUES (?, ?, ?, ?, ?)");
        Inserter line(m_db, "INSERT INTO SalesBody VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        struct Return
        {
            QDate date;
            qint64 saleId;
            const Customer *customer;
            int sector;
            std::vector<SaleLine> lines;
        };
        std::vector<Return> returns;
        const qint64 total = std::max(1, m_options.saleLines);
        qint64 written = 0;
        qint64 saleId = 0;
        while (written < total) {
            ++saleId;
            const QDate date = m_start.addDays(written * 365 / total);
            const Customer &customer = m_customers[size_t(m_random.next() % m_customers.size())];
            int sector = customer.sector;
            if (m_random.chance(2))
                sector = m_sectorTown[size_t(m_random.next() % m_sectorTown.size())].first;
            const int count = int(std::min<qint64>(total - written, m_random.between(1, 7)));
            std::vector<SaleLine> lines;
            double net = 0;
            for (int k = 0; k < count; ++k) {
                lines.push_back(makeLine(pickProduct()));
                const SaleLine &l = lines.back();
                net += money(l.qty * (l.price - (l.price * l.discRatio / 100 + l.discValue))) +
                       money(l.qty * (l.price * l.taxRatio / 100 + l.taxValue));
            }
            const int mode = m_random.between(0, 9);
            const double received = mode < 4   ? money(net)
                                    : mode < 7 ? std::floor(net / 200) * 100
                                               : 0.0;
            sale << saleId << dateText(date) << customer.id << sector << received;
            sale.run();
            for (int k = 0; k < count; ++k) {
                line << saleId << k + 1;
                bindLineValues(line, lines[size_t(k)]);
                line.run();
            }
            written += count;
            if (m_random.chance(3)) {
                Return r{date.addDays(m_random.between(1, 20)), saleId, &customer, sector, {}};
                if (r.date > m_options.endDate)
                    r.date = m_options.endDate;
                for (const SaleLine &l : lines) {
                    if (r.lines.empty() || m_random.chance(30)) {
                        SaleLine back = l;
                        back.qty = m_random.between(1, int(l.qty));
                        back.bonus =
                            l.bonus > 0 && m_random.chance(50) ? std::min(l.bonus, 1.0) : 0;
                        r.lines.push_back(back);
                    }
                }
                returns.push_back(std::move(r));
            }
        }
        std::stable_sort(returns.begin(), returns.end(),
                         [](const Return &a, const Return &b) { return a.date < b.date; });
        Inserter head(m_db, "INSERT INTO SaleReturns VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        Inserter body(m_db,
                      "INSERT INTO SaleReturnsBody VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        qint64 returnId = 0;
        for (const Return &r : returns) {
            ++returnId;
            head << returnId << dateText(r.date) << r.saleId << r.customer->id << r.sector
                 << (m_random.chance(10) ? 50.0 : 0.0) << 0.0 << (m_random.chance(20) ? 2.0 : 0.0)
                 << (m_random.chance(10) ? 25.0 : 0.0) << (m_random.chance(10) ? 40.0 : 0.0);
            head.run();
            int sr = 0;
            for (const SaleLine &l : r.lines) {
                body << returnId << ++sr;
                bindLineValues(body, l);
                body << 1.0;
                body.run();
            }
        }
    }

    // Expected quantity of a product sold in a week, from its share of the trade: purchases
    // and stock follow demand, as a distributor's buying does.
    double weeklyDemand(const Product &p) const
    {
        constexpr double averageLineQty = 5.5 * 2.8; // makeLine: 1..10, times ten one time in five
        return double(m_options.saleLines) * averageLineQty * p.weight / m_productWeightTotal /
               52.0;
    }

    void purchases()
    {
        Inserter head(m_db, "INSERT INTO Purchase VALUES (?, ?, ?, ?)");
        Inserter body(m_db, "INSERT INTO PurchaseBody VALUES (?, ?, ?, ?, ?, ?)");
        Inserter retHead(m_db, "INSERT INTO PurReturns VALUES (?, ?, ?)");
        Inserter retBody(m_db, "INSERT INTO PurReturnsBody VALUES (?, ?, ?, ?, ?, ?)");
        // Each company delivers once a week, about half its range each time: a little more than
        // sells.
        qint64 purchaseId = 0, returnId = 0;
        for (int day = 0; day < 365; ++day) {
            const QDate date = m_start.addDays(day);
            for (int companyId : m_suppliersByCompany) {
                if ((day + companyId) % 7 != 0)
                    continue;
                ++purchaseId;
                head << purchaseId << dateText(date) << "S" + std::to_string(companyId)
                     << companyId;
                head.run();
                const bool returned = m_random.chance(4);
                if (returned) {
                    ++returnId;
                    const QDate back = date.addDays(3) > m_options.endDate ? date : date.addDays(3);
                    retHead << returnId << dateText(back) << "S" + std::to_string(companyId);
                    retHead.run();
                }
                int sr = 0;
                for (size_t index : m_productsByCompany[companyId]) {
                    const Product &p = m_products[index];
                    if (!m_random.chance(50))
                        continue;
                    const double spread = 0.8 + m_random.between(0, 60) / 100.0;
                    const double qty =
                        std::max(10.0, std::round(weeklyDemand(p) * 2.2 * spread / 10.0) * 10.0);
                    const double bonus = m_random.chance(25) ? std::round(qty / 20) : 0;
                    body << purchaseId << ++sr << p.id << qty << bonus << money(p.price * 0.82);
                    body.run();
                    if (returned && sr == 1) {
                        retBody << returnId << 1 << p.id
                                << std::min(qty, double(m_random.between(1, 10))) << 0.0
                                << money(p.price * 0.82);
                        retBody.run();
                    }
                }
            }
        }
    }

    void stock()
    {
        Inserter opening(m_db, "INSERT INTO OpeningStock VALUES (?, ?, ?, ?)");
        Inserter current(m_db, "INSERT INTO CurrentStock VALUES (?, ?, ?, ?)");
        for (const Product &p : m_products) {
            if (m_random.chance(90)) {
                // Four to eight weeks of demand at the start of the year.
                opening << p.id << std::round(weeklyDemand(p) * (4 + m_random.between(0, 4)))
                        << double(m_random.between(0, 20)) << money(p.price * 0.8);
                opening.run();
            }
            if (m_random.chance(95)) {
                const int batches = m_random.between(1, 3);
                for (int b = 1; b <= batches; ++b) {
                    current << p.id << "B" + std::to_string(b)
                            << std::max(10.0, std::round(weeklyDemand(p) * m_random.between(1, 4)))
                            << money(p.price * (0.75 + double(m_random.between(0, 10)) / 100.0));
                    current.run();
                }
            }
        }
    }

    sqlite3 *m_db;
    const DemoDatabase::Options &m_options;
    Random m_random;
    QDate m_start;
    std::vector<std::pair<int, int>> m_sectorTown; // sector id, town id
    std::vector<std::string> m_townNames;
    std::vector<int> m_suppliersByCompany;
    std::vector<Product> m_products;
    std::map<int, std::vector<size_t>> m_productsByCompany;
    int m_productWeightTotal = 0;
    std::vector<Customer> m_customers;
};

} // namespace

void DemoGenerator::fill(sqlite3 *db, const DemoDatabase::Options &options)
{
    Generator(db, options).run();
}
