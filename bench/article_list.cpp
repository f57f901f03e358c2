// Filling and sorting the article list with 12,600 articles, and re-sorting it by another
// column, with the list shown in a view (offscreen unless a display is set).
#include <QApplication>
#include <QItemSelectionModel>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include "articles/ui/ArticleSort.h"
#include "articles/ui/ArticlesModel.h"
#include "shell/CListViewEx.h"

namespace {

using namespace kos;
using Clock = std::chrono::steady_clock;

double ms(Clock::time_point since) {
    return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

void fillArticles(Articles& articles) {
    std::mt19937 random(7);
    std::vector<int> plus(Articles::MaxArticles);
    for (int i = 0; i < Articles::MaxArticles; ++i)
        plus[size_t(i)] = 1000 + i * 7;
    std::shuffle(plus.begin(), plus.end(), random);
    for (int i = 0; i < Articles::MaxArticles; ++i) {
        auto a = std::make_unique<Article>();
        a->plu.parse(std::to_string(plus[size_t(i)]));
        a->name = "TOWAR " + std::to_string(random() % 100000) + " " + std::to_string(i);
        a->price = int32_t(random() % 1000000);
        a->vat = uint8_t(random() % 7);
        a->modified = random() % 2;
        a->saleQuantity = int32_t(random() % 100000);
        a->saleValue = int32_t(random() % 100000);
        articles.add(a);
    }
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    Articles articles;
    fillArticles(articles);
    ArticlesModel model;
    CListViewEx view;
    view.setModel(&model);
    view.resize(800, 600);
    view.show();

    const int runs = 7;
    std::vector<double> fill, fillModel, resort, resortSelected;
    for (int run = 0; run < runs; ++run) {
        model.setSortOrder(2 | SORT_ASCENDING << 8);  // by name
        auto t = Clock::now();
        model.fill(articles);
        fillModel.push_back(ms(t));
        QCoreApplication::processEvents();
        fill.push_back(ms(t));

        model.setSortOrder(3 | SORT_DESCENDING << 8);  // by price
        t = Clock::now();
        model.sortRows();
        QCoreApplication::processEvents();
        resort.push_back(ms(t));

        view.selectAll();
        model.setSortOrder(6 | SORT_ASCENDING << 8);  // by quantity, everything selected
        t = Clock::now();
        model.sortRows();
        QCoreApplication::processEvents();
        resortSelected.push_back(ms(t));
        view.clearSelection();
    }
    std::printf("articles: %d, runs: %d (median)\n", articles.count(), runs);
    std::printf("fill and sort by name:            %7.2f ms  (limit 100 ms)\n", median(fill));
    std::printf("  of which the model:             %7.2f ms\n", median(fillModel));
    std::printf("re-sort by price:                 %7.2f ms  (limit 50 ms)\n", median(resort));
    std::printf("re-sort by quantity, all selected:%7.2f ms  (limit 50 ms)\n",
                median(resortSelected));
    return 0;
}
