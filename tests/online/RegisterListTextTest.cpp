// Registers typed as "8,2,56": what is accepted, what stops the adding, and the removal.
#include <gtest/gtest.h>

#include "online/RegisterListText.h"
#include "support/ManualClock.h"
#include "support/ScriptedPrompt.h"

namespace kos::test {
namespace {

TEST(RegisterListTextTest, ParsesTokensUpToTheFirstBadOne) {
    struct Case {
        const char* text;
        std::vector<int32_t> numbers;
        bool valid;
        const char* badToken;
    };
    const std::vector<Case> cases = {
        {"8,2,56", {8, 2, 56}, true, ""},
        {"  8 , 2\t,56 \n", {8, 2, 56}, true, ""},
        {"", {}, true, ""},
        {"   ", {}, true, ""},
        {"5,", {5}, true, ""},
        {"+7,99,1", {7, 99, 1}, true, ""},
        {"5,x,7", {5}, false, "x"},
        {"5,,7", {5}, false, ""},
        {",5", {}, false, ""},
        {"7a", {}, false, "7a"},
        {"1 2", {}, false, "1 2"},
        {"3,0", {3}, false, "0"},
        {"100", {}, false, "100"},
        {"-3", {}, false, "-3"},
        {"257", {}, false, "257"},
        {"99999999999999999999", {}, false, "99999999999999999999"},
        {"+", {}, false, "+"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const RegisterListText r = parseRegisterList(c.text);
        EXPECT_EQ(c.numbers, r.numbers);
        EXPECT_EQ(c.valid, r.valid);
        EXPECT_EQ(c.badToken, r.badToken);
    }
}

class RegisterListTest : public ::testing::Test {
protected:
    ManualClock clock;
    TarvelServerDoc doc{clock};
    ScriptedPrompt prompt;
};

TEST_F(RegisterListTest, AddsInSlotOrderAndStopsAtTheFirstFailure) {
    EXPECT_EQ(std::vector<int>({0, 1, 2}), addRegistersFromText(doc, "8,2,56", prompt));
    EXPECT_TRUE(prompt.shown.empty());
    EXPECT_EQ(8, doc.logicalNumberAt(0));
    EXPECT_EQ(2, doc.logicalNumberAt(1));
    EXPECT_EQ(56, doc.logicalNumberAt(2));

    EXPECT_EQ(std::vector<int>({3}), addRegistersFromText(doc, "5,x,7", prompt));
    ASSERT_EQ(1u, prompt.shown.size());
    EXPECT_EQ("Niepoprawny format numeru kasy x.", prompt.shown[0].text);
    EXPECT_EQ(PromptIcon::Stop, prompt.shown[0].icon);
    EXPECT_EQ(-1, doc.findSlot(7));

    // A duplicate ends the adding before a later bad token is even looked at.
    EXPECT_EQ(std::vector<int>({4}), addRegistersFromText(doc, "9,8,10,y", prompt));
    ASSERT_EQ(2u, prompt.shown.size());
    EXPECT_EQ("Kasa o tym numerze 8 już istnieje lub za dużo kas.", prompt.shown[1].text);
    EXPECT_EQ(-1, doc.findSlot(10));

    EXPECT_EQ(7u, addRegistersFromText(doc, "11,12,13,14,15,16,17,18", prompt).size());
    EXPECT_EQ(12, doc.usedSlotCount());
    EXPECT_EQ("Kasa o tym numerze 18 już istnieje lub za dużo kas.", prompt.shown.back().text);
}

TEST_F(RegisterListTest, AServerStartedAgainPassesOverItsRegisters) {
    EXPECT_TRUE(addMissingRegisters(doc, "4,5", prompt));
    EXPECT_TRUE(addMissingRegisters(doc, "5,4,6", prompt));
    EXPECT_TRUE(prompt.shown.empty());
    EXPECT_EQ(2, doc.findSlot(6));
    EXPECT_EQ(3, doc.usedSlotCount());
    EXPECT_FALSE(addMissingRegisters(doc, "7,,8", prompt));
    EXPECT_EQ("Niepoprawny format numeru kasy .", prompt.shown.back().text);
    EXPECT_EQ(3, doc.findSlot(7));
}

TEST_F(RegisterListTest, RemovalAsksFirstAndDropsTheRegistersSales) {
    addRegistersFromText(doc, "8,2", prompt);
    Plu plu;
    ASSERT_TRUE(plu.parse("5"));
    doc.addPluSale(plu, 0, 1500);
    doc.addPositiveTotal(0, 700);

    prompt.answers = {false};
    EXPECT_FALSE(removeRegisters(doc, {0}, prompt));
    EXPECT_EQ(
        "Czy na pewno chcesz usunąć zaznaczone kasy?\nDane o sprzedaży dla tych kas zostaną "
        "usunięte.",
        prompt.shown.back().text);
    EXPECT_EQ(8, doc.logicalNumberAt(0));

    prompt.answers = {true};
    EXPECT_TRUE(removeRegisters(doc, {0}, prompt));
    EXPECT_EQ(-1, doc.logicalNumberAt(0));
    EXPECT_EQ(2, doc.logicalNumberAt(1));
    EXPECT_TRUE(doc.salesEntryCount() == 0);
    EXPECT_EQ(0, doc.positiveTotal(0));
}

}  // namespace
}  // namespace kos::test
