#!/usr/bin/env bash
# On the bundled example: a reply to a mail with its quotation and the
# signature, and a new mail to a group from the group list; the upload file
# compared byte for byte.
source "$(dirname "$0")/lib.sh"

dir=$(demo_dir)
printf 'printf '"'"'editor line\\r\\n'"'"' >> "$1"\n' >"$WORK/edit.sh"

EDITOR="sh $WORK/edit.sh" start_zazir "$dir" DEMO.LOG
at_main_menu

# The first mail, and its reply.
keys Enter
wait_for "Private Message is from: AKN00412"
expect_row 2 "題名: 来週のオフ会について"
keys R
wait_for "メールを以下のＩＤに送信します。"
expect_row 12 "AKN00412"
keys Enter
wait_for "メール送信；タイトル入力"
expect_row_match 11 -F "Re:来週のオフ会について"
keys Enter
wait_for "シグネーチャファイル[SIGN.TXT]を付加しますか？([Ｙ]/N)"
keys n
wait_for "書き込んでよいですか？([Ｙ]/N/E)"
expect_row 0 "96/06/02 21:40:12 に頂いたメールへのお返事です。"
expect_row 2 "かずや> みさきさん、こんばんは。かずやです。"
keys y
wait_for "Private Message is from: AKN00412"

# W: a new mail to the group "オフ会メンバー".
keys W
wait_for "メール送信先リスト"
keys G Enter
wait_for "オフ会メンバー"
keys Enter
wait_for "(5通目)"
expect_row 2 "AKN00412  AKN00208  AKN00153  AKN00521"
keys 0 Enter
wait_for "メールを以下のＩＤに送信します。"
expect_row 12 "AKN00412;AKN00208;AKN00153;AKN00521"
keys y
wait_for "メール送信；タイトル入力"
expect_row_match 11 -F "MAIL to you"
keys C-u
type_text "オフ会の件"
keys Enter
wait_for "シグネーチャファイル"
keys y
wait_for "書き込んでよいですか？([Ｙ]/N/E)"
keys Enter
wait_for "Private Message is from: AKN00412"
keys q
wait_for "メール ......"
quit_zazir
expect_terminal_restored

{
  printf 'EM%s;0\n%s;Y\n' AKN00412 'Re:来週のオフ会について'
  printf '96/06/02 21:40:12 に頂いたメールへのお返事です。\n\n'
  cat <<'QUOTE'
かずや> みさきさん、こんばんは。かずやです。
かずや> 
かずや> 来週土曜日のオフ会ですが、場所が決まりました。
かずや> 駅前の「ひまわり」という喫茶店の二階を貸し切りにしてもらいました。
かずや> 時間は午後２時からです。
かずや> 
かずや> Hiro さんがノートパソコンを持ってきて、みんなでゲームをする
かずや> 計画があるようです（笑）
かずや> 参加できるかどうか、金曜日までにお返事ください。
かずや> 
かずや> それでは。
かずや> 
かずや> かずや (AKN00412)
editor line

//
S
EM AKN00412;AKN00208;AKN00153;AKN00521;0
オフ会の件;Y
editor line

----
みさき (AKN00777)
あかねネット　趣味のひろば常連

//
S
QUOTE
} | sed 's/^EM /EM/' | crlf | sj >"$WORK/expected"
expect_same_bytes "$dir/DEMO.LOG.UP" "$WORK/expected" "upload file"
echo PASS
