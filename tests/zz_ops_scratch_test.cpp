// TEMPORARY exploration of OCCT offset behaviour (to be removed).
#include "ops_helpers.hpp"
#include "kernel/sweep.hpp"
using namespace ops;
using Scratch = HostTest;

static void report(const char *what, const std::vector<tag_t> &profile, double h, double d, double exact_area) {
    tag_t feature = NULL_TAG;
    int s = extrude(profile, 0, h, {0, 0, 1}, 0, feature);
    if (s) { printf("%s: extrude failed %s\n", what, last_log().c_str()); return; }
    tag_t body = body_of(feature);
    uf_list_p_t fl = list_of({feature});
    std::string o = text(d);
    tag_t of = 0;
    int st = UF_MODL_create_feature_offset(o.data(), fl, &of);
    UF_MODL_delete_list(&fl);
    double v = volume(body);
    double exact = exact_area * (h + 2 * d);
    printf("%-40s d=%6.2f status=%d vol=%.6f exact=%.6f diff=%.3g valid=%d lumps=%d %s\n", what, d, st, v, exact,
           v - exact, (int)valid(body), lumps(body), st ? last_log().c_str() : "");
}

TEST_F(Scratch, Explore) {
    for (double d : {1.0, 4.0, 4.5, 5.5, 6.0, -3.0, -4.0}) {
        std::vector<tag_t> notched = {line({0, 0, 0}, {40, 0, 0}), line({40, 0, 0}, {40, 20, 0}),
                                      line({40, 20, 0}, {25, 20, 0}), arc({25, 20, 0}, {20, 15, 0}, {15, 20, 0}),
                                      line({15, 20, 0}, {0, 20, 0}), line({0, 20, 0}, {0, 0, 0})};
        double rho = 5 - d;
        double area;
        if (rho > std::abs(d)) {
            double above = rho * rho * std::acos(d / rho) - d * std::sqrt(rho * rho - d * d);
            area = (40 + 2 * d) * (20 + 2 * d) - (pi * rho * rho - above);
        } else if (rho > 0) area = (40 + 2 * d) * (20 + 2 * d) - pi * rho * rho;  // enclosed hole
        else area = (40 + 2 * d) * (20 + 2 * d);
        report("notch", notched, 10, d, area);
    }
    // rounded rectangle 20 x 10, corner radius 2
    auto rounded = [] {
        double r = 2, W = 20, H = 10;
        double k = r * (1 - std::sqrt(0.5));
        return std::vector<tag_t>{line({r, 0, 0}, {W - r, 0, 0}), arc({W - r, 0, 0}, {W - k, k, 0}, {W, r, 0}),
                                  line({W, r, 0}, {W, H - r, 0}), arc({W, H - r, 0}, {W - k, H - k, 0}, {W - r, H, 0}),
                                  line({W - r, H, 0}, {r, H, 0}), arc({r, H, 0}, {k, H - k, 0}, {0, H - r, 0}),
                                  line({0, H - r, 0}, {0, r, 0}), arc({0, r, 0}, {k, k, 0}, {r, 0, 0})};
    };
    for (double d : {0.3, -0.3, -1.9, -2.0, -2.5, -4.9}) {
        double r = 2;
        double area = d > -r ? (20 + 2 * d) * (10 + 2 * d) - (4 - pi) * (r + d) * (r + d) : (20 + 2 * d) * (10 + 2 * d);
        report("rounded rectangle", rounded(), 6, d, area);
    }
    for (double d : {1.0, 2.0, 3.0}) {
        std::vector<tag_t> p = {line({0, -5, 0}, {20, -5, 0}), arc({20, -5, 0}, {25, 0, 0}, {20, 5, 0}),
                                line({20, 5, 0}, {0, 5, 0}), arc({0, 5, 0}, {-5, 0, 0}, {0, -5, 0}), circle({10, 0, 0}, 2)};
        double hole = d < 2 ? pi * (2 - d) * (2 - d) : 0;
        report("stadium with hole", p, 6, d, 20 * 2 * (5 + d) + pi * (5 + d) * (5 + d) - hole);
    }
    for (double d : {-4.0, -4.99, -5.0, -6.0}) {
        const std::vector<std::pair<double, double>> l = {{0, 0}, {30, 0}, {30, 10}, {10, 10}, {10, 25}, {0, 25}};
        const std::vector<std::pair<double, double>> m = {{-d, -d}, {30 + d, -d}, {30 + d, 10 + d}, {10 + d, 10 + d}, {10 + d, 25 + d}, {-d, 25 + d}};
        report("L shrink", polygon(l), 20, d, polygon_area(m));
    }
    for (double d : {1.0, -1.0}) report("circle", {circle({0, 0, 0}, 3)}, 5, d, pi * (3 + d) * (3 + d));

    for (double d : {0.3, 0.5, 1.0, -0.7}) {
        double r = 0.5, k = r * (1 - std::sqrt(0.5));
        std::vector<tag_t> p = {line({0, 0, 0}, {30, 0, 0}), line({30, 0, 0}, {30, 10, 0}), line({30, 10, 0}, {10 + r, 10, 0}),
                                arc({10 + r, 10, 0}, {10 + k, 10 + k, 0}, {10, 10 + r, 0}), line({10, 10 + r, 0}, {10, 25, 0}),
                                line({10, 25, 0}, {0, 25, 0}), line({0, 25, 0}, {0, 0, 0})};
        const std::vector<std::pair<double, double>> m = {{-d, -d}, {30 + d, -d}, {30 + d, 10 + d}, {10 + d, 10 + d}, {10 + d, 25 + d}, {-d, 25 + d}};
        double rr = std::max(0.0, r - d);
        report("L with inner fillet", p, 20, d, polygon_area(m) + rr * rr * (1 - pi / 4));
    }
    for (double d : {2.0, 2.4}) {
        std::vector<tag_t> notched = {line({0, 0, 0}, {40, 0, 0}), line({40, 0, 0}, {40, 20, 0}),
                                      line({40, 20, 0}, {25, 20, 0}), arc({25, 20, 0}, {20, 15, 0}, {15, 20, 0}),
                                      line({15, 20, 0}, {0, 20, 0}), line({0, 20, 0}, {0, 0, 0})};
        double rho = 5 - d;
        double above = rho * rho * std::acos(d / rho) - d * std::sqrt(rho * rho - d * d);
        report("notch", notched, 10, d, (40 + 2 * d) * (20 + 2 * d) - (pi * rho * rho - above));
    }
    {
        tag_t f = block({0, 0, 0}, 10, 10, 10);
        tag_t c = 0;
        cylinder({5, 5, 5}, {1, 0, 0}, 10, 4, 1, c);   // step: not a prism -> 3D path
        uf_list_p_t fl = list_of({f});
        char o[] = "0.5";
        tag_t of = 0;
        int st = UF_MODL_create_feature_offset(o, fl, &of);
        printf("block+cross cylinder grown 0.5: status %d vol %.6f %s\n", st, volume(body_of(f)), st ? last_log().c_str() : "");
    }
    // triangle with acute corner (sharp miter)
    for (double d : {0.5, -0.5}) {
        report("triangle", polygon({{0, 0}, {30, 0}, {0, 5}}), 5, d, 0);
    }
}
