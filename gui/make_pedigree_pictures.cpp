// make_pedigree_pictures: draws the picture of every catalogue relationship
// into a folder, as ped<code>.png (shown by the dialogs) and ped<code>.jpg and
// pedigree<code>.jpg (embedded in the reports).
//
// Usage: make_pedigree_pictures OUTPUT_FOLDER
//
// The pictures are laid out from the catalogue's parent-child relations alone:
// persons are put in generation rows, couples side by side, and the left-right
// order and the positions are chosen so that children sit below their parents
// and no descent lines cross. Typed persons are shaded and carry their analysis
// number; untyped persons are plain.
#include <QColor>
#include <QDir>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <QPolygonF>
#include <QString>
#include <algorithm>
#include <cstdio>
#include <map>
#include <numeric>
#include <string>
#include <utility>
#include <vector>

#include "core/catalogue.h"

namespace {

using relatix::Relation;

constexpr int kFirstCode = 1;
constexpr int kLastCode = 26;
constexpr int kWidth = 400;
constexpr int kHeight = 300;

// Layout distances in slots: partners stand kPartnerGap apart, neighbouring
// units of a row at least kUnitGap.
constexpr double kPartnerGap = 1.5;
constexpr double kUnitGap = 1.2;
// Weight that keeps the line from a parent down to a partner in a lower row vertical.
constexpr double kVerticalWeight = 100.0;
// Above this many left-right orders the first one is taken as it is.
constexpr long kMaxOrders = 200000;

enum class Sex { Male, Female, Unknown };

struct Node {
    int person = 0;  // pedigree person number; 0 for an added partner or a line joint
    Sex sex = Sex::Unknown;
    bool typed = false;
    bool joint = false;   // no symbol: where a parent's line from a higher row comes down
    bool unused = false;  // an untyped person no relation names: not drawn
    int row = 0;
    double x = 0.0;
};

// Two parents and their children. left/right are the nodes between which the
// couple line runs in the lower parent's row; for partners in different rows
// one of them is the joint below the higher parent.
struct Family {
    int parentA = 0;
    int parentB = 0;
    int lineA = 0;
    int lineB = 0;
    int joint = -1;  // the joint node, -1 when both parents share a row
    int upper = -1;  // the higher parent when there is a joint
    std::vector<int> children;
};

// A squared residual weight * (sum of coef * x)^2 of the layout energy.
struct Term {
    double weight = 1.0;
    std::vector<std::pair<int, double>> coefficients;
};

// Nodes of one row that move together: spouses (and joints) side by side.
struct Unit {
    std::vector<int> members;  // left to right
    double centre = 0.0;
};

struct Layout {
    std::vector<Node> nodes;
    std::vector<Family> families;
    std::vector<Term> terms;
    std::vector<std::vector<Unit>> rows;
};

Sex sexOf(int code) {
    if (code == 1) return Sex::Male;
    if (code == 2) return Sex::Female;
    return Sex::Unknown;
}

Sex oppositeOf(Sex sex) {
    if (sex == Sex::Male) return Sex::Female;
    if (sex == Sex::Female) return Sex::Male;
    return Sex::Unknown;
}

// The persons of the code, its families (a partner added for every child with
// a single listed parent: such a child's other parent is outside the pedigree,
// so two of them are half siblings) and the generation rows.
Layout buildPedigree(int code) {
    Layout layout;
    const int typedCount = relatix::catalogueSize(code);
    const std::vector<int> typedSexes = relatix::catalogueSexes(code);
    const std::vector<int> pedigreeSexes = relatix::pedigreeSexes(code);
    const std::vector<Relation> relations = relatix::catalogueRelationList(code);

    int persons = typedCount;
    for (const Relation& r : relations) persons = std::max({persons, r.parent, r.child});
    for (int p = 1; p <= persons; ++p) {
        Node node;
        node.person = p;
        node.typed = p <= typedCount;
        const std::vector<int>& sexes = node.typed ? typedSexes : pedigreeSexes;
        if (p - 1 < static_cast<int>(sexes.size()))
            node.sex = sexOf(sexes[static_cast<size_t>(p - 1)]);
        layout.nodes.push_back(node);
    }

    // The listed parents of every child, in the order of the relations.
    std::map<int, std::vector<int>> parentsOf;
    std::vector<int> childOrder;
    for (const Relation& r : relations) {
        if (r.parent < 1 || r.child < 1) continue;
        if (!parentsOf.count(r.child)) childOrder.push_back(r.child);
        parentsOf[r.child].push_back(r.parent - 1);
    }
    std::map<std::pair<int, int>, int> familyOfCouple;
    for (int child : childOrder) {
        std::vector<int>& parents = parentsOf[child];
        if (parents.size() > 2) {
            std::fprintf(stderr,
                         "code %d: person %d has more than two parents; the first two are drawn\n",
                         code, child);
            parents.resize(2);
        }
        if (parents.size() == 1) {
            Node partner;
            partner.sex = oppositeOf(layout.nodes[static_cast<size_t>(parents[0])].sex);
            layout.nodes.push_back(partner);
            parents.push_back(static_cast<int>(layout.nodes.size()) - 1);
        }
        const std::pair<int, int> key{std::min(parents[0], parents[1]),
                                      std::max(parents[0], parents[1])};
        auto found = familyOfCouple.find(key);
        if (found == familyOfCouple.end()) {
            Family family;
            // Father on the left when the sexes say which is which.
            const bool swap = layout.nodes[static_cast<size_t>(parents[0])].sex == Sex::Female &&
                              layout.nodes[static_cast<size_t>(parents[1])].sex == Sex::Male;
            family.parentA = swap ? parents[1] : parents[0];
            family.parentB = swap ? parents[0] : parents[1];
            layout.families.push_back(family);
            found = familyOfCouple.emplace(key, static_cast<int>(layout.families.size()) - 1).first;
        }
        layout.families[static_cast<size_t>(found->second)].children.push_back(child - 1);
    }

    // Rows: a child one below its lower parent; a founder in the row of its partner.
    std::vector<bool> hasParents(layout.nodes.size(), false);
    std::vector<bool> related(layout.nodes.size(), false);
    for (const Family& f : layout.families) {
        related[static_cast<size_t>(f.parentA)] = related[static_cast<size_t>(f.parentB)] = true;
        for (int c : f.children)
            hasParents[static_cast<size_t>(c)] = related[static_cast<size_t>(c)] = true;
    }
    // A founder goes no lower than one above its highest child, so a parent
    // who is also the grandparent of a child stays above it.
    auto rowOf = [&](int n) -> int& { return layout.nodes[static_cast<size_t>(n)].row; };
    for (size_t pass = 0; pass <= layout.nodes.size() * 2; ++pass) {
        bool changed = false;
        for (const Family& f : layout.families)
            for (int c : f.children) {
                const int below = std::max(rowOf(f.parentA), rowOf(f.parentB)) + 1;
                if (rowOf(c) < below) rowOf(c) = below, changed = true;
            }
        for (const Family& f : layout.families)
            for (auto [founder, partner] :
                 {std::pair{f.parentA, f.parentB}, std::pair{f.parentB, f.parentA}}) {
                if (hasParents[static_cast<size_t>(founder)] || rowOf(founder) >= rowOf(partner))
                    continue;
                int limit = rowOf(partner);
                for (const Family& g : layout.families)
                    if (g.parentA == founder || g.parentB == founder)
                        for (int c : g.children) limit = std::min(limit, rowOf(c) - 1);
                if (rowOf(founder) < limit) rowOf(founder) = limit, changed = true;
            }
        if (!changed) break;
    }
    for (size_t n = 0; n < layout.nodes.size(); ++n)
        layout.nodes[n].unused =
            !layout.nodes[n].typed && !related[n] && layout.nodes[n].person > 0;
    // A typed person without relations stands in the row of the closest-numbered
    // typed person that has relations, the lower number first.
    for (int p = 0; p < typedCount; ++p) {
        if (related[static_cast<size_t>(p)]) continue;
        for (int distance = 1; distance < typedCount; ++distance) {
            const int lower = p - distance, higher = p + distance;
            if (lower >= 0 && related[static_cast<size_t>(lower)]) {
                rowOf(p) = rowOf(lower);
                break;
            }
            if (higher < typedCount && related[static_cast<size_t>(higher)]) {
                rowOf(p) = rowOf(higher);
                break;
            }
        }
    }

    // Couple lines; a joint in the lower partner's row below a higher partner.
    for (Family& f : layout.families) {
        f.lineA = f.parentA;
        f.lineB = f.parentB;
        if (rowOf(f.parentA) == rowOf(f.parentB)) continue;
        const bool aUpper = rowOf(f.parentA) < rowOf(f.parentB);
        f.upper = aUpper ? f.parentA : f.parentB;
        const int lower = aUpper ? f.parentB : f.parentA;
        Node joint;
        joint.joint = true;
        joint.row = rowOf(lower);
        layout.nodes.push_back(joint);
        f.joint = static_cast<int>(layout.nodes.size()) - 1;
        f.lineA = lower;
        f.lineB = f.joint;
    }

    // The layout energy: each child below the middle of its parents' line, each
    // joint below its parent.
    for (const Family& f : layout.families) {
        for (int c : f.children)
            layout.terms.push_back({1.0, {{c, 1.0}, {f.lineA, -0.5}, {f.lineB, -0.5}}});
        if (f.joint >= 0)
            layout.terms.push_back({kVerticalWeight, {{f.joint, 1.0}, {f.upper, -1.0}}});
    }
    return layout;
}

// Splits every row into units: the chains of partners sharing a row.
void buildUnits(Layout& layout) {
    const size_t count = layout.nodes.size();
    std::vector<std::vector<int>> partners(count);
    for (const Family& f : layout.families) {
        partners[static_cast<size_t>(f.lineA)].push_back(f.lineB);
        partners[static_cast<size_t>(f.lineB)].push_back(f.lineA);
    }
    int rowCount = 0;
    for (const Node& n : layout.nodes) rowCount = std::max(rowCount, n.row + 1);
    layout.rows.assign(static_cast<size_t>(rowCount), {});
    std::vector<bool> placed(count, false);
    // Start each chain at an end (one partner or none) so it reads left to right.
    for (int pass = 0; pass < 2; ++pass) {
        for (size_t start = 0; start < count; ++start) {
            if (placed[start] || layout.nodes[start].unused ||
                (pass == 0 && partners[start].size() > 1))
                continue;
            Unit unit;
            std::vector<int> stack{static_cast<int>(start)};
            placed[start] = true;
            while (!stack.empty()) {
                const int n = stack.back();
                stack.pop_back();
                unit.members.push_back(n);
                for (int m : partners[static_cast<size_t>(n)])
                    if (!placed[static_cast<size_t>(m)])
                        placed[static_cast<size_t>(m)] = true, stack.push_back(m);
            }
            layout.rows[static_cast<size_t>(layout.nodes[start].row)].push_back(unit);
        }
    }
}

double halfWidth(const Unit& unit) {
    return (static_cast<double>(unit.members.size()) - 1.0) * kPartnerGap / 2.0;
}

double offsetIn(const Unit& unit, size_t index) {
    return static_cast<double>(index) * kPartnerGap - halfWidth(unit);
}

void placeMembers(Layout& layout, const Unit& unit) {
    for (size_t i = 0; i < unit.members.size(); ++i)
        layout.nodes[static_cast<size_t>(unit.members[i])].x = unit.centre + offsetIn(unit, i);
}

// Weighted least squares of centres under the minimum distances between
// neighbouring units (pool-adjacent-violators on the shifted targets).
void fitRow(std::vector<Unit>& row, const std::vector<double>& targets,
            const std::vector<double>& weights) {
    const size_t m = row.size();
    std::vector<double> shift(m, 0.0);
    for (size_t k = 1; k < m; ++k)
        shift[k] = shift[k - 1] + halfWidth(row[k - 1]) + halfWidth(row[k]) + kUnitGap;
    struct Block {
        double sum;
        double weight;
        size_t length;
    };
    std::vector<Block> blocks;
    for (size_t k = 0; k < m; ++k) {
        blocks.push_back({(targets[k] - shift[k]) * weights[k], weights[k], 1});
        while (blocks.size() > 1) {
            const Block& last = blocks.back();
            const Block& before = blocks[blocks.size() - 2];
            if (before.sum / before.weight <= last.sum / last.weight) break;
            const Block merged{before.sum + last.sum, before.weight + last.weight,
                               before.length + last.length};
            blocks.pop_back();
            blocks.back() = merged;
        }
    }
    size_t k = 0;
    for (const Block& b : blocks)
        for (size_t i = 0; i < b.length; ++i, ++k) row[k].centre = b.sum / b.weight + shift[k];
}

// Moves the units row by row to lower the energy until it settles.
void relax(Layout& layout) {
    std::vector<int> unitOf(layout.nodes.size(), -1);
    std::vector<double> offset(layout.nodes.size(), 0.0);
    for (auto& row : layout.rows) {
        double next = 0.0;
        for (size_t k = 0; k < row.size(); ++k) {
            Unit& unit = row[k];
            const double half = halfWidth(unit);
            unit.centre = next + half;
            next = unit.centre + half + kUnitGap;
            placeMembers(layout, unit);
        }
    }
    const size_t rowCount = layout.rows.size();
    for (int sweep = 0; sweep < 200; ++sweep) {
        for (size_t step = 0; step < rowCount; ++step) {
            const size_t r = sweep % 2 == 0 ? step : rowCount - 1 - step;
            std::vector<Unit>& row = layout.rows[r];
            std::vector<double> targets, weights;
            for (size_t k = 0; k < row.size(); ++k)
                for (size_t i = 0; i < row[k].members.size(); ++i) {
                    unitOf[static_cast<size_t>(row[k].members[i])] = static_cast<int>(k);
                    offset[static_cast<size_t>(row[k].members[i])] = offsetIn(row[k], i);
                }
            for (size_t k = 0; k < row.size(); ++k) {
                const Unit& unit = row[k];
                double alphaBeta = 0.0, alphaSquared = 0.0;
                for (const Term& term : layout.terms) {
                    double alpha = 0.0, beta = 0.0;
                    for (auto [n, coef] : term.coefficients) {
                        const Node& node = layout.nodes[static_cast<size_t>(n)];
                        if (node.row == static_cast<int>(r) &&
                            unitOf[static_cast<size_t>(n)] == static_cast<int>(k)) {
                            alpha += coef;
                            beta += coef * offset[static_cast<size_t>(n)];
                        } else {
                            beta += coef * node.x;
                        }
                    }
                    alphaBeta += term.weight * alpha * beta;
                    alphaSquared += term.weight * alpha * alpha;
                }
                if (alphaSquared < 1e-9) {
                    targets.push_back(unit.centre);
                    weights.push_back(1e-3);
                } else {
                    targets.push_back(-alphaBeta / alphaSquared);
                    weights.push_back(alphaSquared);
                }
            }
            fitRow(row, targets, weights);
            for (const Unit& unit : row) placeMembers(layout, unit);
        }
    }
}

double energy(const Layout& layout) {
    double total = 0.0;
    for (const Term& term : layout.terms) {
        double residual = 0.0;
        for (auto [n, coef] : term.coefficients)
            residual += coef * layout.nodes[static_cast<size_t>(n)].x;
        total += term.weight * residual * residual;
    }
    return total;
}

double middleOf(const Layout& layout, const Family& f) {
    return (layout.nodes[static_cast<size_t>(f.lineA)].x +
            layout.nodes[static_cast<size_t>(f.lineB)].x) /
           2.0;
}

std::pair<double, double> sibshipSpan(const Layout& layout, const Family& f) {
    double low = middleOf(layout, f), high = low;
    for (int c : f.children) {
        low = std::min(low, layout.nodes[static_cast<size_t>(c)].x);
        high = std::max(high, layout.nodes[static_cast<size_t>(c)].x);
    }
    return {low, high};
}

int descentRow(const Layout& layout, const Family& f) {
    return layout.nodes[static_cast<size_t>(f.lineA)].row;
}

// Crossing or overlapping lines of different families.
int crossings(const Layout& layout) {
    int count = 0;
    const auto& families = layout.families;
    for (size_t i = 0; i < families.size(); ++i) {
        for (size_t j = i + 1; j < families.size(); ++j) {
            const Family& f = families[i];
            const Family& g = families[j];
            if (descentRow(layout, f) != descentRow(layout, g)) continue;
            const double mf = middleOf(layout, f), mg = middleOf(layout, g);
            for (int c : f.children)
                for (int d : g.children)
                    if ((mf - mg) * (layout.nodes[static_cast<size_t>(c)].x -
                                     layout.nodes[static_cast<size_t>(d)].x) <
                        0)
                        ++count;
            const auto [fl, fh] = sibshipSpan(layout, f);
            const auto [gl, gh] = sibshipSpan(layout, g);
            if (std::min(fh, gh) - std::max(fl, gl) > 0.01) ++count;
        }
    }
    // A line coming down from a higher partner must miss the sibship lines it passes.
    for (const Family& f : families) {
        if (f.joint < 0) continue;
        const Node& upper = layout.nodes[static_cast<size_t>(f.upper)];
        const int lowerRow = layout.nodes[static_cast<size_t>(f.joint)].row;
        for (const Family& g : families) {
            const int r = descentRow(layout, g);
            if (r < upper.row || r >= lowerRow) continue;
            const auto [gl, gh] = sibshipSpan(layout, g);
            if (upper.x > gl + 0.05 && upper.x < gh - 0.05) ++count;
        }
    }
    return count;
}

// Typed persons of a row out of their numbered order.
int inversions(const Layout& layout) {
    int count = 0;
    for (const Node& a : layout.nodes)
        for (const Node& b : layout.nodes)
            if (a.typed && b.typed && a.row == b.row && a.person < b.person && a.x > b.x) ++count;
    return count;
}

double cost(const Layout& layout) {
    return energy(layout) + 5.0 * crossings(layout) + 0.05 * inversions(layout);
}

// Tries every left-right order of the units of every row and both directions
// of every chain of partners; keeps the cheapest layout.
Layout arrange(Layout layout) {
    buildUnits(layout);
    // One choice list per row: the permutations of its units times the directions.
    std::vector<std::vector<std::vector<Unit>>> choices;
    long total = 1;
    for (const auto& row : layout.rows) {
        std::vector<std::vector<Unit>> rowChoices;
        std::vector<size_t> order(row.size());
        std::iota(order.begin(), order.end(), 0);
        do {
            std::vector<size_t> flippable;
            for (size_t k = 0; k < row.size(); ++k)
                if (row[k].members.size() > 1) flippable.push_back(k);
            for (unsigned mask = 0; mask < (1u << flippable.size()); ++mask) {
                std::vector<Unit> candidate;
                for (size_t k : order) candidate.push_back(row[k]);
                for (size_t b = 0; b < flippable.size(); ++b) {
                    if (!(mask & (1u << b))) continue;
                    for (Unit& u : candidate)
                        if (u.members == row[flippable[b]].members)
                            std::reverse(u.members.begin(), u.members.end());
                }
                rowChoices.push_back(std::move(candidate));
            }
        } while (std::next_permutation(order.begin(), order.end()));
        total *= static_cast<long>(rowChoices.size());
        choices.push_back(std::move(rowChoices));
    }
    if (total > kMaxOrders) {
        for (auto& rowChoices : choices) rowChoices.resize(1);
        total = 1;
    }
    Layout best = layout;
    double bestCost = -1.0;
    for (long index = 0; index < total; ++index) {
        Layout candidate = layout;
        long rest = index;
        for (size_t r = 0; r < choices.size(); ++r) {
            const long size = static_cast<long>(choices[r].size());
            candidate.rows[r] = choices[r][static_cast<size_t>(rest % size)];
            rest /= size;
        }
        relax(candidate);
        const double c = cost(candidate);
        if (bestCost < 0 || c < bestCost - 1e-9) bestCost = c, best = std::move(candidate);
    }
    // A joint stands exactly below its parent so the line down is straight.
    for (const Family& f : best.families)
        if (f.joint >= 0)
            best.nodes[static_cast<size_t>(f.joint)].x = best.nodes[static_cast<size_t>(f.upper)].x;
    return best;
}

// Painting -----------------------------------------------------------------

const QColor kLine(30, 30, 30);
const QColor kTypedFill(58, 98, 160);
const QColor kCaption(20, 20, 20);
const QColor kLegend(90, 90, 90);

void drawSymbol(QPainter& painter, QPointF centre, double size, const Node& node) {
    painter.setPen(QPen(kLine, 2.0));
    painter.setBrush(node.typed ? kTypedFill : QColor(Qt::white));
    const QRectF box(centre.x() - size / 2, centre.y() - size / 2, size, size);
    if (node.sex == Sex::Male) {
        painter.drawRect(box);
    } else if (node.sex == Sex::Female) {
        painter.drawEllipse(box);
    } else {
        painter.drawPolygon(
            QPolygonF({QPointF(centre.x(), box.top()), QPointF(box.right(), centre.y()),
                       QPointF(centre.x(), box.bottom()), QPointF(box.left(), centre.y())}));
    }
    if (!node.typed) return;
    QFont font("DejaVu Sans");
    font.setBold(true);
    font.setPixelSize(std::max(10, static_cast<int>(size * 0.5)));
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(box, Qt::AlignCenter, QString::number(node.person));
}

// The caption's font: the largest up to 16 pixels that fits in two lines.
QFont captionFont(const QString& caption, double width) {
    QFont font("DejaVu Sans");
    font.setBold(true);
    for (int pixels = 16; pixels > 9; --pixels) {
        font.setPixelSize(pixels);
        const QRectF bounds = QFontMetricsF(font).boundingRect(
            QRectF(0, 0, width, 1000), Qt::TextWordWrap | Qt::AlignHCenter, caption);
        if (bounds.height() <= 2.6 * pixels) break;
    }
    return font;
}

QImage drawPicture(int code, const Layout& layout) {
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    const double margin = 12.0;
    // Runs of spaces inside a name are shown as one.
    const QString caption =
        QString::fromStdString(relatix::catalogueName(code, relatix::NameSeparator::Space))
            .simplified();
    const QFont titleFont = captionFont(caption, kWidth - 2 * margin);
    painter.setFont(titleFont);
    painter.setPen(kCaption);
    const QRectF titleBounds =
        painter.boundingRect(QRectF(margin, margin / 2, kWidth - 2 * margin, 1000),
                             Qt::TextWordWrap | Qt::AlignHCenter, caption);
    painter.drawText(QRectF(margin, margin / 2, kWidth - 2 * margin, titleBounds.height()),
                     Qt::TextWordWrap | Qt::AlignHCenter, caption);

    // Legend along the bottom edge.
    const double legendHeight = 22.0;
    const double legendY = kHeight - legendHeight / 2 - 4;
    {
        QFont font("DejaVu Sans");
        font.setPixelSize(11);
        painter.setFont(font);
        const QString typedText = "typed (number as in the analysis)";
        const QString untypedText = "untyped";
        const QFontMetricsF metrics(font);
        const double symbol = 11.0;
        const double width = 2 * (symbol + 5) + metrics.horizontalAdvance(typedText) + 18 +
                             metrics.horizontalAdvance(untypedText);
        double x = (kWidth - width) / 2;
        painter.setPen(QPen(kLine, 1.2));
        painter.setBrush(kTypedFill);
        painter.drawRect(QRectF(x, legendY - symbol / 2, symbol, symbol));
        x += symbol + 5;
        painter.setPen(kLegend);
        painter.drawText(QPointF(x, legendY + metrics.ascent() / 2 - 1), typedText);
        x += metrics.horizontalAdvance(typedText) + 18;
        painter.setPen(QPen(kLine, 1.2));
        painter.setBrush(Qt::white);
        painter.drawRect(QRectF(x, legendY - symbol / 2, symbol, symbol));
        x += symbol + 5;
        painter.setPen(kLegend);
        painter.drawText(QPointF(x, legendY + metrics.ascent() / 2 - 1), untypedText);
    }

    // The drawing area between caption and legend.
    const QRectF area(margin, margin / 2 + titleBounds.height() + 8, kWidth - 2 * margin,
                      kHeight - legendHeight - 8 - (margin / 2 + titleBounds.height() + 8));
    double low = 0.0, high = 0.0;
    bool any = false;
    for (const Node& n : layout.nodes) {
        if (n.unused) continue;
        low = any ? std::min(low, n.x) : n.x;
        high = any ? std::max(high, n.x) : n.x;
        any = true;
    }
    const double columns = high - low + 1.0;
    const int rows = std::max<int>(1, static_cast<int>(layout.rows.size()));
    const double rowHeight = std::min(area.height() / rows, 90.0);
    const double slot = std::min(area.width() / columns, 1.6 * rowHeight);
    const double size = std::min({0.62 * slot, 0.52 * rowHeight, 44.0});
    const double left = area.center().x() - (high - low) * slot / 2;
    const double top = area.top() + (area.height() - rows * rowHeight) / 2 + rowHeight / 2;
    auto at = [&](const Node& n) {
        return QPointF(left + (n.x - low) * slot, top + n.row * rowHeight);
    };
    auto node = [&](int index) -> const Node& { return layout.nodes[static_cast<size_t>(index)]; };

    painter.setPen(QPen(kLine, 2.0, Qt::SolidLine, Qt::FlatCap));
    painter.setBrush(Qt::NoBrush);
    for (const Family& f : layout.families) {
        const QPointF a = at(node(f.lineA));
        const QPointF b = at(node(f.lineB));
        const double halfA = node(f.lineA).joint ? 0.0 : size / 2;
        const double halfB = node(f.lineB).joint ? 0.0 : size / 2;
        const bool aLeft = a.x() <= b.x();
        const double from = aLeft ? a.x() + halfA : a.x() - halfA;
        const double to = aLeft ? b.x() - halfB : b.x() + halfB;
        painter.drawLine(QPointF(from, a.y()), QPointF(to, b.y()));
        if (f.joint >= 0) {
            const QPointF upper = at(node(f.upper));
            painter.drawLine(QPointF(b.x(), upper.y() + size / 2), QPointF(b.x(), b.y()));
        }
        const double middle = (a.x() + b.x()) / 2;
        if (f.children.empty()) continue;
        const double childY = at(node(f.children.front())).y() - size / 2;
        const double sibshipY = childY - (rowHeight - size) * 0.4;
        painter.drawLine(QPointF(middle, a.y()), QPointF(middle, sibshipY));
        double spanLow = middle, spanHigh = middle;
        for (int c : f.children) {
            const QPointF p = at(node(c));
            spanLow = std::min(spanLow, p.x());
            spanHigh = std::max(spanHigh, p.x());
            painter.drawLine(QPointF(p.x(), sibshipY), QPointF(p.x(), p.y() - size / 2));
        }
        if (spanHigh - spanLow > 0.5)
            painter.drawLine(QPointF(spanLow, sibshipY), QPointF(spanHigh, sibshipY));
    }
    for (const Node& n : layout.nodes)
        if (!n.joint && !n.unused) drawSymbol(painter, at(n), size, n);
    painter.end();
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    // Nothing is shown: the pictures are painted into images.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "cannot create the folder %s\n", argv[1]);
        return 1;
    }
    const QDir out(folder);
    int failures = 0;
    for (int code = kFirstCode; code <= kLastCode; ++code) {
        const QImage image = drawPicture(code, arrange(buildPedigree(code)));
        const QString number = QString::number(code);
        const std::pair<QString, const char*> files[] = {{"ped" + number + ".png", "PNG"},
                                                         {"ped" + number + ".jpg", "JPG"},
                                                         {"pedigree" + number + ".jpg", "JPG"}};
        for (const auto& [name, format] : files) {
            if (image.save(out.filePath(name), format, std::string(format) == "JPG" ? 95 : -1))
                continue;
            std::fprintf(stderr, "cannot write %s\n", qPrintable(out.filePath(name)));
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
