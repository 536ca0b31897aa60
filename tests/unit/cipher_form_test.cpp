// The key dialog's decisions (PrepareKey, ChangeKey, the handlers) and the whole-text
// EncryptText/DecryptText with their output rules, driven through a scripted dialog.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "cipher/codec.h"
#include "cipher_fakes.h"
#include "tests/common/legacy_text.h"

namespace vellumo {
namespace {

using testing::CancelDialog;
using testing::CipherRig;
using testing::EnterKey;
using testing::ScriptedCipherView;

TEST(PrepareKey, AsksWithAnEmptyFieldAndDerivesTheKey) {
  CipherRig rig;
  rig.view.key = "stale";
  rig.view.scripts.push_back(EnterKey("abc"));
  EXPECT_TRUE(rig.form.PrepareKey());
  EXPECT_EQ(rig.view.captionsShown, std::vector<std::string>{kAskKeyCaption});
  EXPECT_EQ(rig.view.fieldAtShow, std::vector<Text>{""});
  EXPECT_EQ(rig.view.focusCount, 1) << "FormShow puts the focus into the field";
  EXPECT_EQ(rig.form.KeyBytes, KeyBytesArray(3, 'b' ^ 'c'));
  EXPECT_TRUE(rig.form.KeyDialogResult);
}

TEST(PrepareKey, CancelAndCloseBoxAnswerNoAndKeepKeyBytes) {
  for (const auto& script : std::vector<ScriptedCipherView::Script>{
           CancelDialog(), [](ScriptedCipherView& v) { v.CloseBox(); },
           [](ScriptedCipherView& v) {
             v.Type("typed");
             v.CloseBox();
           }}) {
    CipherRig rig;
    rig.view.scripts.push_back(EnterKey("abc"));
    ASSERT_TRUE(rig.form.PrepareKey());
    rig.view.scripts.push_back(script);
    EXPECT_FALSE(rig.form.PrepareKey());
    EXPECT_EQ(rig.form.KeyBytes, KeyBytesArray(3, 'b' ^ 'c'));
    EXPECT_TRUE(rig.boxes.shown.empty());
  }
}

TEST(PrepareKey, EmptyKeyWarning) {
  struct Case {
    const char* what;
    std::deque<int> answers;
    ScriptedCipherView::Script afterWarning;
    bool result;
    std::size_t warnings;
    Text keyAfter;
  };
  const Case cases[] = {
      {"OK in the warning accepts the empty key", {kResultOk}, nullptr, true, 1, ""},
      {"Cancel, then a key typed and the close box",
       {kResultCancel},
       [](ScriptedCipherView& v) {
         v.Type("late");
         v.CloseBox();
       },
       true,
       1,
       "late"},
      {"Cancel, then the close box with the field still empty warns again",
       {kResultCancel, kResultOk},
       [](ScriptedCipherView& v) { v.CloseBox(); },
       true,
       2,
       ""},
      {"Cancel, then the cancel button",
       {kResultCancel},
       [](ScriptedCipherView& v) { v.ClickCancel(); },
       false,
       1,
       ""},
  };
  for (const auto& c : cases) {
    CipherRig rig;
    rig.boxes.answers = c.answers;
    rig.view.scripts.push_back([&](ScriptedCipherView& v) {
      v.ClickOK();
      if (c.afterWarning) {
        EXPECT_TRUE(v.open) << c.what;
        EXPECT_EQ(v.focusCount, 2) << c.what << ": focus back in the field";
        EXPECT_TRUE(v.form->KeyDialogResult) << c.what;
        c.afterWarning(v);
      }
    });
    EXPECT_EQ(rig.form.PrepareKey(), c.result) << c.what;
    ASSERT_EQ(rig.boxes.shown.size(), c.warnings) << c.what;
    EXPECT_EQ(rig.boxes.shown[0].text, kEmptyKeyWarning);
    EXPECT_EQ(rig.boxes.shown[0].kind, MessageKind::Warning);
    EXPECT_EQ(rig.boxes.shown[0].buttons, kOkCancel);
    if (c.result) {
      EXPECT_EQ(rig.form.KeyBytes.size(), c.keyAfter.size()) << c.what;
    }
  }
}

TEST(PrepareKey, RememberedKeyIsUsedWithoutAsking) {
  CipherRig rig;
  rig.view.scripts.push_back([](ScriptedCipherView& v) {
    v.Type("abc");
    v.CheckRemember();
    v.ClickOK();
  });
  ASSERT_TRUE(rig.form.PrepareKey());
  rig.view.key = "abd";  // what the field holds is what is used
  EXPECT_TRUE(rig.form.PrepareKey());
  EXPECT_EQ(rig.view.captionsShown.size(), 1u);
  EXPECT_EQ(rig.form.KeyBytes, KeyBytesArray(3, 'b' ^ 'd'));
}

TEST(PrepareKey, RememberCheckedThenCancelStaysCheckedAndUsesTheFieldNextTime) {
  CipherRig rig;
  rig.view.scripts.push_back([](ScriptedCipherView& v) {
    v.Type("kept");
    v.CheckRemember();
    v.ClickCancel();
  });
  EXPECT_FALSE(rig.form.PrepareKey());
  EXPECT_TRUE(rig.view.remember);
  EXPECT_TRUE(rig.form.PrepareKey());
  EXPECT_EQ(rig.view.captionsShown.size(), 1u);
  EXPECT_EQ(rig.form.KeyBytes.size(), 4u);
}

TEST(ChangeKey, Flows) {
  struct Case {
    const char* what;
    bool remembered;
    ScriptedCipherView::Script script;
    bool result;
    Text fieldAtShow;
    Text keyAfter;
    bool rememberAfter;
  };
  const auto typeAndOK = [](ScriptedCipherView& v) {
    v.Type("new");
    v.ClickOK();
  };
  const auto typeAndCancel = [](ScriptedCipherView& v) {
    v.Type("new");
    v.ClickCancel();
  };
  const auto typeAndClose = [](ScriptedCipherView& v) {
    v.Type("new");
    v.CloseBox();
  };
  const Case cases[] = {
      {"not remembered, accepted", false, typeAndOK, true, "", "new", true},
      {"not remembered, cancelled", false, typeAndCancel, false, "", "old", false},
      {"not remembered, close box", false, typeAndClose, false, "", "old", false},
      {"remembered, accepted", true, typeAndOK, true, "old", "new", true},
      {"remembered, cancelled", true, typeAndCancel, false, "old", "old", true},
  };
  for (const auto& c : cases) {
    CipherRig rig;
    rig.view.key = "old";
    rig.view.remember = c.remembered;
    rig.view.scripts.push_back(c.script);
    EXPECT_EQ(rig.form.ChangeKey(), c.result) << c.what;
    EXPECT_EQ(rig.view.captionsShown, std::vector<std::string>{kChangeKeyCaption}) << c.what;
    EXPECT_EQ(rig.view.fieldAtShow[0], c.fieldAtShow) << c.what;
    EXPECT_FALSE(rig.view.rememberEnabledAtShow[0]) << c.what << ": box greyed while shown";
    EXPECT_EQ(rig.view.key, c.keyAfter) << c.what;
    EXPECT_EQ(rig.view.remember, c.rememberAfter) << c.what;
    EXPECT_TRUE(rig.view.rememberEnabled) << c.what;
    EXPECT_TRUE(rig.form.KeyBytes.empty()) << c.what << ": ChangeKey derives nothing";
  }
}

TEST(ChangeKey, AcceptedKeyIsUsedByTheNextCommandWithoutAsking) {
  CipherRig rig;
  rig.view.scripts.push_back(EnterKey("xyz"));
  ASSERT_TRUE(rig.form.ChangeKey());
  Text out;
  ASSERT_TRUE(rig.form.EncryptText("Hi", out));
  EXPECT_EQ(rig.view.captionsShown.size(), 1u);
  EXPECT_EQ(rig.form.KeyBytes, KeyBytesArray(3, 'y' ^ 'z'));
}

TEST(EncryptText, OutputRules) {
  {
    CipherRig rig;  // empty text: no key asked, empty output
    Text out = "x";
    EXPECT_TRUE(rig.form.EncryptText("", out));
    EXPECT_EQ(out, "");
    EXPECT_TRUE(rig.view.captionsShown.empty());
  }
  {
    CipherRig rig;  // cancelled: answer no, output untouched
    rig.view.scripts.push_back(CancelDialog());
    Text out;
    EXPECT_FALSE(rig.form.EncryptText("Hi", out));
    EXPECT_EQ(out, "");
  }
  {
    CipherRig rig;  // empty key accepted: the text itself, zero bytes and all
    rig.view.scripts.push_back(EnterKey(""));
    Text out;
    EXPECT_TRUE(rig.form.EncryptText(Text("a\0b", 3), out));
    EXPECT_EQ(out, Text("a\0b", 3));
  }
  {
    CipherRig rig;  // seeded from the clock: midnight UTC and a one-byte key
    rig.clock.utcMilliseconds = 0;
    rig.view.scripts.push_back(EnterKey("k"));
    Text out;
    EXPECT_TRUE(rig.form.EncryptText("\x48\x69", out));
    EXPECT_EQ(out, ":6h5\r\n");
  }
}

TEST(KeyHygiene, TheFieldKeepsTheKeyOnlyWhileItIsRemembered) {
  struct Case {
    const char* what;
    ScriptedCipherView::Script script;
    Text fieldAfter;
  };
  const auto rememberAndOK = [](ScriptedCipherView& v) {
    v.Type("kept");
    v.CheckRemember();
    v.ClickOK();
  };
  const auto rememberAndCancel = [](ScriptedCipherView& v) {
    v.Type("kept");
    v.CheckRemember();
    v.ClickCancel();
  };
  const auto cancel = [](ScriptedCipherView& v) {
    v.Type("typed");
    v.ClickCancel();
  };
  const Case cases[] = {
      {"asked, not remembered", EnterKey("secret"), ""},
      {"cancelled, not remembered", cancel, ""},
      {"remembered", rememberAndOK, "kept"},
      {"remembered, then cancelled", rememberAndCancel, "kept"},
  };
  for (const auto& c : cases) {
    for (const bool encrypt : {true, false}) {
      CipherRig rig;
      rig.view.scripts.push_back(c.script);
      Text out;
      if (encrypt) {
        rig.form.EncryptText("Hi", out);
      } else {
        rig.form.DecryptText(":6h5\r\n", out);
      }
      EXPECT_EQ(rig.view.key, c.fieldAfter) << c.what << (encrypt ? " encrypt" : " decrypt");
    }
  }
}

TEST(KeyHygiene, ClosingTheDialogTakesNoCopyOfTheKey) {
  // Only the derivation copies the key, and wipes its copy; the empty-key check on O.K. must not
  // leave a copy of its own behind.
  for (const char* key : {"secret", ""}) {
    CipherRig rig;
    rig.view.scripts.push_back([&](ScriptedCipherView& v) {
      v.Type(key);
      v.ClickOK();
      EXPECT_EQ(v.keyTextCopies, 0) << "key \"" << key << "\"";
    });
    EXPECT_TRUE(rig.form.PrepareKey());
    EXPECT_EQ(rig.view.keyTextCopies, 1) << "key \"" << key << "\": the derivation's";
  }
}

TEST(EncryptText, TwoEncryptionsDifferButDecryptAlike) {
  CipherRig rig;
  rig.view.scripts.push_back([](ScriptedCipherView& v) {
    v.Type("\x8c\xae");
    v.CheckRemember();
    v.ClickOK();
  });
  const Text text = "\x93\xfa\x96\x7b\x8c\xea\r\n";
  Text a, b, back;
  rig.clock.utcMilliseconds = 1000;
  ASSERT_TRUE(rig.form.EncryptText(text, a));
  rig.clock.utcMilliseconds = 1001;
  ASSERT_TRUE(rig.form.EncryptText(text, b));
  EXPECT_NE(a, b);
  ASSERT_TRUE(rig.form.DecryptText(a, back));
  EXPECT_EQ(back, text);
  ASSERT_TRUE(rig.form.DecryptText(b, back));
  EXPECT_EQ(back, text);
}

TEST(DecryptText, OutputRules) {
  struct Case {
    const char* what;
    Text input;
    ScriptedCipherView::Script script;  // null: no dialog expected
    bool result;
    Text output;
    bool errorShown;
  };
  const Case cases[] = {
      {"empty input", "", nullptr, true, "", false},
      {"cancelled", ":6h5\r\n", CancelDialog(), false, "untouched", false},
      {"empty key", "plain text", EnterKey(""), true, "plain text", false},
      {"current form", ":6h5\r\n", EnterKey("k"), true, "\x48\x69", false},
      {"first byte of the key does not matter", ":6h5\r\n", EnterKey("z"), true, "\x48\x69", false},
      {"does not decode", "plain text", EnterKey("k"), false, "", true},
      {"wrong key gives other bytes", ":6h5\r\n", EnterKey("ab"), true,
       Text{static_cast<char>(0x48 ^ 'b'), static_cast<char>(0x69 ^ 'b')}, false},
  };
  for (const auto& c : cases) {
    CipherRig rig;
    if (c.script) rig.view.scripts.push_back(c.script);
    Text out = "untouched";
    EXPECT_EQ(rig.form.DecryptText(c.input, out), c.result) << c.what;
    EXPECT_EQ(out, c.output) << c.what;
    EXPECT_EQ(rig.view.captionsShown.size(), c.script ? 1u : 0u) << c.what;
    const auto errors = std::count_if(rig.boxes.shown.begin(), rig.boxes.shown.end(),
                                      [](const auto& b) { return b.kind == MessageKind::Error; });
    ASSERT_EQ(errors, c.errorShown ? 1 : 0) << c.what;
    if (c.errorShown) {
      EXPECT_EQ(rig.boxes.shown.back().text, kDecryptFailedMessage);
      EXPECT_EQ(rig.boxes.shown.back().buttons, kOkOnly);
    }
    // Decrypted in place, the text gives the same answer and bytes (a cancel leaves it as it was).
    CipherRig inPlace;
    if (c.script) inPlace.view.scripts.push_back(c.script);
    Text text = c.input;
    EXPECT_EQ(inPlace.form.DecryptText(text, text), c.result) << c.what << " in place";
    EXPECT_EQ(text, c.output == "untouched" ? c.input : c.output) << c.what << " in place";
  }
}

TEST(EncryptText, RoundTripsRandomTextsKeysAndSeeds) {
  std::mt19937 rng(20261210);
  std::uniform_int_distribution<int> byte(1, 255);
  const std::vector<Text> keys = {"k", "\x8c\xae", "\x93\xfa\x96\x7b\x8c\xea", Text(300, 'q') + "w",
                                  "correct horse battery staple"};
  for (const auto& key : keys) {
    CipherRig rig;
    rig.view.key = key;
    rig.view.remember = true;
    for (const std::size_t n : {0u, 1u, 63u, 64u, 65u, 128u, 129u, 5000u, 200000u}) {
      Text text(n, '\0');
      for (auto& c : text)
        c = static_cast<char>(byte(rng));
      rig.clock.utcMilliseconds = static_cast<std::uint32_t>(rng());
      Text encoded, decoded;
      ASSERT_TRUE(rig.form.EncryptText(text, encoded));
      EXPECT_EQ(encoded.size(), n == 0 ? 0 : EncodedSize(n));
      ASSERT_TRUE(rig.form.DecryptText(encoded, decoded)) << n;
      ASSERT_EQ(decoded, text) << n << " " << key;
      Text inPlace = encoded;
      ASSERT_TRUE(rig.form.DecryptText(inPlace, inPlace)) << n;
      ASSERT_EQ(inPlace, text) << n << " " << key << " in place";
      // Without its closing CR LF it decrypts all the same.
      if (n > 0) {
        ASSERT_TRUE(rig.form.DecryptText(TextView(encoded).substr(0, encoded.size() - 2), decoded));
        ASSERT_EQ(decoded, text);
      }
    }
    EXPECT_TRUE(rig.boxes.shown.empty());
    EXPECT_TRUE(rig.view.captionsShown.empty());
  }
}

TEST(DecryptText, ReadsTheLegacyFormUnderTheKeyFieldText) {
  CipherRig rig;
  rig.view.scripts.push_back(EnterKey("k"));
  Text out;
  EXPECT_TRUE(rig.form.DecryptText(testing::LegacyText("Hi", "k"), out));
  EXPECT_EQ(out, "Hi");
  EXPECT_EQ(rig.view.key, "") << "the field is emptied only after the legacy attempt read it";
}

}  // namespace
}  // namespace vellumo
