<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja" sourcelanguage="ko">
<context>
    <name>velmira</name>
    <message>
        <location filename="../src/image/history.cpp" line="1079"/>
        <source>   0  (처음상태)</source>
        <translation>   0  (初期状態)</translation>
    </message>
    <message>
        <location filename="../src/image/history.cpp" line="1085"/>
        <source>%d 칼라</source>
        <translation>%d色</translation>
    </message>
    <message>
        <location filename="../src/image/history.cpp" line="1087"/>
        <source>(처음영상)</source>
        <translation>(元画像)</translation>
    </message>
    <message>
        <location filename="../src/image/layers.cpp" line="170"/>
        <source>레이어 </source>
        <translation>レイヤー </translation>
    </message>
    <message>
        <location filename="../src/image/frame_state.h" line="104"/>
        <location filename="../src/image/doc.cpp" line="1145"/>
        <source>이름없음</source>
        <translation>無題</translation>
    </message>
    <message>
        <location filename="../src/measure/objects.cpp" line="33"/>
        <source>항목의 최대 갯수는 %d 입니다. 더이상 추가가 어렵습니다.</source>
        <translation>項目は最大 %d 個までです。これ以上追加できません。</translation>
    </message>
    <message>
        <location filename="../src/online/online_commands.cpp" line="10"/>
        <source>스캔영상_%d</source>
        <translation>スキャン画像_%d</translation>
    </message>
    <message>
        <location filename="../src/online/update_version.cpp" line="54"/>
        <source> 신버전  %d.%02d</source>
        <translation> 新バージョン  %d.%02d</translation>
    </message>
    <message>
        <location filename="../src/commands/decoration_commands.cpp" line="124"/>
        <location filename="../src/commands/decoration_commands.cpp" line="129"/>
        <location filename="../src/ui/dlg_text.cpp" line="208"/>
        <source>달력 넣기</source>
        <translation>カレンダーを挿入</translation>
    </message>
    <message>
        <location filename="../src/commands/decoration_commands.cpp" line="130"/>
        <location filename="../src/decorations/photo_frame.cpp" line="12"/>
        <location filename="../src/ui/decoration_menu.cpp" line="180"/>
        <source>사진틀 넣기</source>
        <translation>フォトフレームを挿入</translation>
    </message>
    <message>
        <location filename="../src/commands/decoration_commands.cpp" line="135"/>
        <source>사진액자만들기</source>
        <translation>フォトフレーム作成</translation>
    </message>
    <message>
        <location filename="../src/commands/edit_commands.cpp" line="44"/>
        <source>실행취소(&amp;Z)	Ctrl+Z</source>
        <translation>元に戻す(&amp;Z)	Ctrl+Z</translation>
    </message>
    <message>
        <location filename="../src/commands/edit_commands.cpp" line="48"/>
        <source>실행 취소</source>
        <translation>元に戻す</translation>
    </message>
    <message>
        <location filename="../src/commands/edit_commands.cpp" line="48"/>
        <source>실행취소	Ctrl+Z</source>
        <translation>元に戻す	Ctrl+Z</translation>
    </message>
    <message>
        <location filename="../src/commands/edit_commands.cpp" line="49"/>
        <source>실행반복(&amp;Y)	Ctrl+Y</source>
        <translation>やり直し(&amp;Y)	Ctrl+Y</translation>
    </message>
    <message>
        <location filename="../src/commands/edit_commands.cpp" line="53"/>
        <source>다시 실행</source>
        <translation>やり直し</translation>
    </message>
    <message>
        <location filename="../src/commands/edit_commands.cpp" line="53"/>
        <source>실행반복	Ctrl+Y</source>
        <translation>やり直し	Ctrl+Y</translation>
    </message>
    <message>
        <location filename="../src/commands/edit_commands.cpp" line="54"/>
        <source>자르기(&amp;t)	Ctrl+X</source>
        <translation>切り取り(&amp;T)	Ctrl+X</translation>
    </message>
    <message>
        <location filename="../src/commands/edit_commands.cpp" line="56"/>
        <source>복사(&amp;C)	Ctrl+C</source>
        <translation>コピー(&amp;C)	Ctrl+C</translation>
    </message>
    <message>
        <location filename="../src/commands/edit_commands.cpp" line="58"/>
        <source>복사	Ctrl+C</source>
        <translation>コピー	Ctrl+C</translation>
    </message>
    <message>
        <location filename="../src/commands/edit_commands.cpp" line="58"/>
        <source>복사</source>
        <translation>コピー</translation>
    </message>
    <message>
        <location filename="../src/commands/edit_commands.cpp" line="60"/>
        <source>붙이기(&amp;P)	Ctrl+V</source>
        <translation>貼り付け(&amp;P)	Ctrl+V</translation>
    </message>
    <message>
        <location filename="../src/commands/edit_commands.cpp" line="62"/>
        <source>붙이기	Ctrl+V</source>
        <translation>貼り付け	Ctrl+V</translation>
    </message>
    <message>
        <location filename="../src/commands/edit_commands.cpp" line="62"/>
        <source>붙이기</source>
        <translation>貼り付け</translation>
    </message>
    <message>
        <location filename="../src/commands/edit_commands.cpp" line="63"/>
        <source>잘라서새로만들기</source>
        <translation>切り取って新規作成</translation>
    </message>
    <message>
        <location filename="../src/commands/edit_commands.cpp" line="65"/>
        <source>복사뒤 새로 만들기</source>
        <translation>コピーして新規作成</translation>
    </message>
    <message>
        <location filename="../src/commands/file_commands.cpp" line="23"/>
        <source>새파일(&amp;N)	Ctrl+N</source>
        <translation>新規作成(&amp;N)	Ctrl+N</translation>
    </message>
    <message>
        <location filename="../src/commands/file_commands.cpp" line="24"/>
        <source>새 문서를 작성합니다</source>
        <translation>新しい文書を作成します</translation>
    </message>
    <message>
        <location filename="../src/commands/file_commands.cpp" line="25"/>
        <source>열기(&amp;O)	Ctrl+O</source>
        <translation>開く(&amp;O)	Ctrl+O</translation>
    </message>
    <message>
        <location filename="../src/commands/file_commands.cpp" line="26"/>
        <location filename="../src/ui/main_frame.cpp" line="68"/>
        <source>이미지 열기</source>
        <translation>画像を開く</translation>
    </message>
    <message>
        <location filename="../src/commands/file_commands.cpp" line="27"/>
        <source>닫기(&amp;C)</source>
        <translation>閉じる(&amp;C)</translation>
    </message>
    <message>
        <location filename="../src/commands/file_commands.cpp" line="28"/>
        <source>저장하기(&amp;S)	Ctrl+S</source>
        <translation>保存(&amp;S)	Ctrl+S</translation>
    </message>
    <message>
        <location filename="../src/commands/file_commands.cpp" line="29"/>
        <location filename="../src/ui/main_frame.cpp" line="69"/>
        <source>이미지 저장</source>
        <translation>画像を保存</translation>
    </message>
    <message>
        <location filename="../src/commands/file_commands.cpp" line="30"/>
        <source>새이름으로(&amp;A)	Ctrl+Shift+S</source>
        <translation>名前を付けて保存(&amp;A)	Ctrl+Shift+S</translation>
    </message>
    <message>
        <location filename="../src/commands/file_commands.cpp" line="33"/>
        <location filename="../src/online/online_commands.h" line="17"/>
        <source>외부장치 선택...</source>
        <translation>入力機器の選択...</translation>
    </message>
    <message>
        <location filename="../src/commands/file_commands.cpp" line="34"/>
        <location filename="../src/online/online_commands.h" line="18"/>
        <source>외부영상 입력 </source>
        <translation>画像の取り込み </translation>
    </message>
    <message>
        <location filename="../src/commands/file_commands.cpp" line="34"/>
        <source>외부장치로 부터 읽어들임</source>
        <translation>スキャナーやカメラから読み込みます</translation>
    </message>
    <message>
        <location filename="../src/commands/file_commands.cpp" line="35"/>
        <source>인쇄(&amp;P)    	Ctrl+P</source>
        <translation>印刷(&amp;P)    	Ctrl+P</translation>
    </message>
    <message>
        <location filename="../src/commands/file_commands.cpp" line="37"/>
        <source>프린터지정(R)</source>
        <translation>プリンターの設定(R)</translation>
    </message>
    <message>
        <location filename="../src/commands/file_commands.cpp" line="38"/>
        <location filename="../src/ui/settings_dialog.cpp" line="31"/>
        <source>환경설정</source>
        <translation>環境設定</translation>
    </message>
    <message>
        <location filename="../src/commands/file_commands.cpp" line="39"/>
        <source>종료(&amp;x)</source>
        <translation>終了(&amp;X)</translation>
    </message>
    <message>
        <location filename="../src/commands/file_commands.cpp" line="48"/>
        <source>복제</source>
        <translation>複製</translation>
    </message>
    <message>
        <location filename="../src/commands/file_commands.cpp" line="51"/>
        <source>새창(&amp;N)</source>
        <translation>新しいウィンドウ(&amp;N)</translation>
    </message>
    <message>
        <location filename="../src/commands/file_commands.cpp" line="52"/>
        <source>계단식(&amp;C)</source>
        <translation>重ねて表示(&amp;C)</translation>
    </message>
    <message>
        <location filename="../src/commands/file_commands.cpp" line="53"/>
        <source>타일(&amp;T)</source>
        <translation>並べて表示(&amp;T)</translation>
    </message>
    <message>
        <location filename="../src/commands/file_commands.cpp" line="54"/>
        <source>모두닫기</source>
        <translation>すべて閉じる</translation>
    </message>
    <message>
        <location filename="../src/commands/file_commands.cpp" line="56"/>
        <source>'Velmira'에 관하여(&amp;A)...</source>
        <translation>'Velmira' について(&amp;A)...</translation>
    </message>
    <message>
        <location filename="../src/commands/file_commands.cpp" line="57"/>
        <source>'Velmira' 웹사이트 연결</source>
        <translation>'Velmira' のウェブサイトへ</translation>
    </message>
    <message>
        <location filename="../src/commands/file_commands.cpp" line="57"/>
        <source>Velmira 웹사이트</source>
        <translation>Velmira ウェブサイト</translation>
    </message>
    <message>
        <location filename="../src/commands/file_commands.cpp" line="59"/>
        <source>전경색</source>
        <translation>描画色</translation>
    </message>
    <message>
        <location filename="../src/commands/file_commands.cpp" line="60"/>
        <source>전경,배경색 교환</source>
        <translation>描画色と背景色を入れ替え</translation>
    </message>
    <message>
        <location filename="../src/commands/file_commands.cpp" line="61"/>
        <source>배경색</source>
        <translation>背景色</translation>
    </message>
    <message>
        <location filename="../src/commands/file_commands.cpp" line="62"/>
        <source>붓굵기</source>
        <translation>ブラシサイズ</translation>
    </message>
    <message>
        <location filename="../src/commands/filter_commands.cpp" line="43"/>
        <location filename="../src/commands/filter_commands.cpp" line="69"/>
        <location filename="../src/processing/filter_table.cpp" line="14"/>
        <location filename="../src/processing/filter_table.cpp" line="42"/>
        <source>강조</source>
        <translation>シャープ</translation>
    </message>
    <message>
        <location filename="../src/commands/filter_commands.cpp" line="44"/>
        <location filename="../src/processing/filter_table.cpp" line="16"/>
        <location filename="../src/processing/filter_table.cpp" line="40"/>
        <source>흐리게</source>
        <translation>ぼかし</translation>
    </message>
    <message>
        <location filename="../src/commands/filter_commands.cpp" line="45"/>
        <location filename="../src/processing/filter_table.cpp" line="18"/>
        <location filename="../src/processing/filter_table.cpp" line="38"/>
        <source>물체축소</source>
        <translation>オブジェクト縮小</translation>
    </message>
    <message>
        <location filename="../src/commands/filter_commands.cpp" line="46"/>
        <location filename="../src/processing/filter_table.cpp" line="19"/>
        <location filename="../src/processing/filter_table.cpp" line="39"/>
        <source>물체확장</source>
        <translation>オブジェクト拡張</translation>
    </message>
    <message>
        <location filename="../src/commands/filter_commands.cpp" line="47"/>
        <location filename="../src/processing/filter_table.cpp" line="17"/>
        <location filename="../src/processing/filter_table.cpp" line="41"/>
        <location filename="../src/processing/filter_table.cpp" line="48"/>
        <source>부드럽게</source>
        <translation>ソフト</translation>
    </message>
    <message>
        <location filename="../src/commands/filter_commands.cpp" line="48"/>
        <location filename="../src/processing/filter_table.cpp" line="15"/>
        <location filename="../src/processing/filter_table.cpp" line="43"/>
        <source>윤곽선</source>
        <translation>輪郭線</translation>
    </message>
    <message>
        <location filename="../src/commands/filter_commands.cpp" line="49"/>
        <location filename="../src/processing/filter_table.cpp" line="20"/>
        <location filename="../src/processing/filter_table.cpp" line="45"/>
        <source>찍어붙이기</source>
        <translation>スタンプ</translation>
    </message>
    <message>
        <location filename="../src/commands/filter_commands.cpp" line="51"/>
        <location filename="../src/processing/filter_table.cpp" line="21"/>
        <location filename="../src/processing/filter_table.cpp" line="46"/>
        <source>색종이뿌리기</source>
        <translation>紙吹雪</translation>
    </message>
    <message>
        <location filename="../src/commands/filter_commands.cpp" line="53"/>
        <location filename="../src/processing/filter_table.cpp" line="22"/>
        <location filename="../src/processing/filter_table.cpp" line="47"/>
        <source>선효과채색</source>
        <translation>線画彩色</translation>
    </message>
    <message>
        <location filename="../src/commands/filter_commands.cpp" line="55"/>
        <location filename="../src/processing/filter_table.cpp" line="23"/>
        <location filename="../src/processing/filter_table.cpp" line="48"/>
        <source>수채화</source>
        <translation>水彩画</translation>
    </message>
    <message>
        <location filename="../src/commands/filter_commands.cpp" line="57"/>
        <location filename="../src/processing/filter_table.cpp" line="27"/>
        <location filename="../src/processing/filter_table.cpp" line="52"/>
        <source>잡영제거</source>
        <translation>ノイズ除去</translation>
    </message>
    <message>
        <location filename="../src/commands/filter_commands.cpp" line="58"/>
        <location filename="../src/processing/filter_table.cpp" line="13"/>
        <location filename="../src/processing/filter_table.cpp" line="53"/>
        <source>경계강조</source>
        <translation>エッジ強調</translation>
    </message>
    <message>
        <location filename="../src/commands/filter_commands.cpp" line="59"/>
        <location filename="../src/processing/filter_table.cpp" line="28"/>
        <location filename="../src/processing/filter_table.cpp" line="54"/>
        <source>영역확장</source>
        <translation>領域拡張</translation>
    </message>
    <message>
        <location filename="../src/commands/filter_commands.cpp" line="60"/>
        <location filename="../src/processing/filter_table.cpp" line="29"/>
        <location filename="../src/processing/filter_table.cpp" line="55"/>
        <source>방울채색</source>
        <translation>水玉彩色</translation>
    </message>
    <message>
        <location filename="../src/commands/filter_commands.cpp" line="61"/>
        <location filename="../src/processing/filter_table.cpp" line="30"/>
        <location filename="../src/processing/filter_table.cpp" line="56"/>
        <source>유화</source>
        <translation>油絵</translation>
    </message>
    <message>
        <location filename="../src/commands/filter_commands.cpp" line="63"/>
        <location filename="../src/processing/filter_table.cpp" line="24"/>
        <location filename="../src/processing/filter_table.cpp" line="49"/>
        <source>한지효과</source>
        <translation>韓紙効果</translation>
    </message>
    <message>
        <location filename="../src/commands/filter_commands.cpp" line="64"/>
        <location filename="../src/processing/filter_table.cpp" line="25"/>
        <location filename="../src/processing/filter_table.cpp" line="50"/>
        <source>빗방울</source>
        <translation>雨粒</translation>
    </message>
    <message>
        <location filename="../src/commands/filter_commands.cpp" line="65"/>
        <location filename="../src/processing/filter_table.cpp" line="26"/>
        <location filename="../src/processing/filter_table.cpp" line="51"/>
        <source>유리성에</source>
        <translation>すりガラス</translation>
    </message>
    <message>
        <location filename="../src/commands/filter_commands.cpp" line="66"/>
        <location filename="../src/processing/filter_table.cpp" line="32"/>
        <location filename="../src/processing/filter_table.cpp" line="57"/>
        <source>달마시안</source>
        <translation>ダルメシアン</translation>
    </message>
    <message>
        <location filename="../src/commands/filter_commands.cpp" line="67"/>
        <location filename="../src/processing/filter_table.cpp" line="31"/>
        <location filename="../src/processing/filter_table.cpp" line="44"/>
        <source>엠보스</source>
        <translation>エンボス</translation>
    </message>
    <message>
        <location filename="../src/commands/filter_commands.cpp" line="70"/>
        <location filename="../src/processing/filter_table.cpp" line="33"/>
        <location filename="../src/processing/filter_table.cpp" line="58"/>
        <source>렌즈효과</source>
        <translation>レンズ効果</translation>
    </message>
    <message>
        <location filename="../src/commands/filter_commands.cpp" line="71"/>
        <location filename="../src/processing/filter_table.cpp" line="34"/>
        <source>욕실효과</source>
        <translation>浴室ガラス効果</translation>
    </message>
    <message>
        <location filename="../src/commands/filter_commands.cpp" line="94"/>
        <location filename="../src/commands/filter_commands.cpp" line="95"/>
        <source>필터링설정</source>
        <translation>フィルター設定</translation>
    </message>
    <message>
        <location filename="../src/commands/guide_commands.cpp" line="51"/>
        <location filename="../src/commands/guide_commands.cpp" line="52"/>
        <location filename="../src/ui/anchor_line.cpp" line="48"/>
        <source>경로설정</source>
        <translation>パス設定</translation>
    </message>
    <message>
        <location filename="../src/commands/guide_commands.cpp" line="53"/>
        <location filename="../src/ui/anchor_line.cpp" line="29"/>
        <source>경로 만들기</source>
        <translation>パス作成</translation>
    </message>
    <message>
        <location filename="../src/commands/guide_commands.cpp" line="54"/>
        <location filename="../src/ui/anchor_line.cpp" line="30"/>
        <source>안내점 수정</source>
        <translation>アンカー修正</translation>
    </message>
    <message>
        <location filename="../src/commands/guide_commands.cpp" line="55"/>
        <location filename="../src/ui/anchor_line.cpp" line="31"/>
        <source>안내점 추가</source>
        <translation>アンカー追加</translation>
    </message>
    <message>
        <location filename="../src/commands/guide_commands.cpp" line="56"/>
        <location filename="../src/ui/anchor_line.cpp" line="32"/>
        <source>안내점 제거</source>
        <translation>アンカー削除</translation>
    </message>
    <message>
        <location filename="../src/commands/guide_commands.cpp" line="59"/>
        <location filename="../src/ui/anchor_line.cpp" line="33"/>
        <source>영역선택</source>
        <translation>範囲選択</translation>
    </message>
    <message>
        <location filename="../src/commands/guide_commands.cpp" line="62"/>
        <location filename="../src/ui/anchor_line.cpp" line="34"/>
        <source>선긋기</source>
        <translation>線を引く</translation>
    </message>
    <message>
        <location filename="../src/commands/image_commands.cpp" line="94"/>
        <location filename="../src/commands/image_commands.cpp" line="97"/>
        <source>명도·대비</source>
        <translation>明るさ・コントラスト</translation>
    </message>
    <message>
        <location filename="../src/commands/image_commands.cpp" line="98"/>
        <location filename="../src/ui/dlg_adjust.cpp" line="135"/>
        <source>RGB색상조정</source>
        <translation>RGBカラー調整</translation>
    </message>
    <message>
        <location filename="../src/commands/image_commands.cpp" line="101"/>
        <source>색조정</source>
        <translation>色調整</translation>
    </message>
    <message>
        <location filename="../src/commands/image_commands.cpp" line="102"/>
        <location filename="../src/ui/dlg_adjust.cpp" line="281"/>
        <source>픽셀분포조정</source>
        <translation>レベル補正</translation>
    </message>
    <message>
        <location filename="../src/commands/image_commands.cpp" line="106"/>
        <source>자동색상조정</source>
        <translation>自動カラー調整</translation>
    </message>
    <message>
        <location filename="../src/commands/image_commands.cpp" line="109"/>
        <location filename="../src/processing/doc_commands.h" line="37"/>
        <source>반전변환</source>
        <translation>階調の反転</translation>
    </message>
    <message>
        <location filename="../src/commands/image_commands.cpp" line="111"/>
        <location filename="../src/processing/doc_commands.h" line="39"/>
        <source>레이어 채도 감소</source>
        <translation>レイヤーの彩度を下げる</translation>
    </message>
    <message>
        <location filename="../src/commands/image_commands.cpp" line="114"/>
        <source>그레이스케일 표현</source>
        <translation>グレースケール</translation>
    </message>
    <message>
        <location filename="../src/commands/image_commands.cpp" line="117"/>
        <source>RGB컬러 표현</source>
        <translation>RGBカラー</translation>
    </message>
    <message>
        <location filename="../src/commands/image_commands.cpp" line="120"/>
        <source>이진영상 으로</source>
        <translation>2値画像へ</translation>
    </message>
    <message>
        <location filename="../src/commands/image_commands.cpp" line="124"/>
        <source>8 비트 컬러 표현</source>
        <translation>8ビットカラー</translation>
    </message>
    <message>
        <location filename="../src/commands/image_commands.cpp" line="138"/>
        <location filename="../src/ui/dlg_channels.cpp" line="22"/>
        <source>RGB구분</source>
        <translation>RGB分解</translation>
    </message>
    <message>
        <location filename="../src/commands/image_commands.cpp" line="139"/>
        <source>YUV구분</source>
        <translation>YUV分解</translation>
    </message>
    <message>
        <location filename="../src/commands/image_commands.cpp" line="143"/>
        <source>HSL구분</source>
        <translation>HSL分解</translation>
    </message>
    <message>
        <location filename="../src/commands/layer_commands.cpp" line="84"/>
        <location filename="../src/tools/tool_router.cpp" line="15"/>
        <source>전체영상 위치이동</source>
        <translation>画像全体の移動</translation>
    </message>
    <message>
        <location filename="../src/commands/layer_commands.cpp" line="129"/>
        <location filename="../src/ui/layer_panel.cpp" line="139"/>
        <location filename="../src/image/doc.cpp" line="35"/>
        <source>레이어추가</source>
        <translation>レイヤー追加</translation>
    </message>
    <message>
        <location filename="../src/commands/layer_commands.cpp" line="131"/>
        <source>레이어 추가</source>
        <translation>レイヤーを追加</translation>
    </message>
    <message>
        <location filename="../src/commands/layer_commands.cpp" line="132"/>
        <location filename="../src/ui/layer_panel.cpp" line="140"/>
        <location filename="../src/image/doc.cpp" line="36"/>
        <source>레이어삭제</source>
        <translation>レイヤー削除</translation>
    </message>
    <message>
        <location filename="../src/commands/layer_commands.cpp" line="137"/>
        <source>레이어 삭제</source>
        <translation>レイヤーを削除</translation>
    </message>
    <message>
        <location filename="../src/commands/layer_commands.cpp" line="138"/>
        <location filename="../src/ui/layer_panel.cpp" line="141"/>
        <location filename="../src/image/doc.cpp" line="37"/>
        <source>복제 레이어 만들기</source>
        <translation>レイヤーを複製</translation>
    </message>
    <message>
        <location filename="../src/commands/layer_commands.cpp" line="140"/>
        <source>레이어 복제</source>
        <translation>レイヤーの複製</translation>
    </message>
    <message>
        <location filename="../src/commands/layer_commands.cpp" line="141"/>
        <location filename="../src/ui/layer_panel.cpp" line="145"/>
        <source>떡그림만들기</source>
        <translation>画像を統合</translation>
    </message>
    <message>
        <location filename="../src/commands/layer_commands.cpp" line="143"/>
        <source>떡영상 만들기</source>
        <translation>画像の統合</translation>
    </message>
    <message>
        <location filename="../src/commands/layer_commands.cpp" line="143"/>
        <source>떡 이미지 만들기</source>
        <translation>統合画像を作成</translation>
    </message>
    <message>
        <location filename="../src/commands/layer_commands.cpp" line="145"/>
        <location filename="../src/ui/layer_panel.cpp" line="142"/>
        <source>아래쪽 레이어로  합치기</source>
        <translation>下のレイヤーと結合</translation>
    </message>
    <message>
        <location filename="../src/commands/layer_commands.cpp" line="148"/>
        <location filename="../src/ui/layer_panel.cpp" line="143"/>
        <source>위쪽 레이어로 합치기</source>
        <translation>上のレイヤーと結合</translation>
    </message>
    <message>
        <location filename="../src/commands/layer_commands.cpp" line="151"/>
        <location filename="../src/ui/layer_panel.cpp" line="146"/>
        <location filename="../src/image/doc.cpp" line="41"/>
        <source>레스터 형식으로 변환</source>
        <translation>ラスタライズ</translation>
    </message>
    <message>
        <location filename="../src/commands/layer_commands.cpp" line="153"/>
        <source>레스터 만들기</source>
        <translation>ラスター化</translation>
    </message>
    <message>
        <location filename="../src/commands/layer_commands.cpp" line="154"/>
        <location filename="../src/commands/layer_commands.cpp" line="156"/>
        <location filename="../src/ui/layer_panel.cpp" line="144"/>
        <location filename="../src/image/doc.cpp" line="40"/>
        <source>레이어 이름 변경</source>
        <translation>レイヤー名の変更</translation>
    </message>
    <message>
        <location filename="../src/commands/measure_area.cpp" line="82"/>
        <source>측정</source>
        <translation>計測</translation>
    </message>
    <message>
        <location filename="../src/commands/measure_area.cpp" line="88"/>
        <source>측정 도구창</source>
        <translation>計測ツール</translation>
    </message>
    <message>
        <location filename="../src/commands/measure_area.cpp" line="93"/>
        <location filename="../src/ui/measure_menu.cpp" line="173"/>
        <location filename="../src/measure/objects.h" line="21"/>
        <source>점표시</source>
        <translation>点</translation>
    </message>
    <message>
        <location filename="../src/commands/measure_area.cpp" line="94"/>
        <location filename="../src/ui/measure_menu.cpp" line="173"/>
        <source>선택/수정</source>
        <translation>選択/修正</translation>
    </message>
    <message>
        <location filename="../src/commands/measure_area.cpp" line="95"/>
        <location filename="../src/commands/paint_commands.cpp" line="120"/>
        <location filename="../src/ui/measure_menu.cpp" line="174"/>
        <location filename="../src/measure/objects.h" line="22"/>
        <source>선분</source>
        <translation>線分</translation>
    </message>
    <message>
        <location filename="../src/commands/measure_area.cpp" line="96"/>
        <location filename="../src/ui/measure_menu.cpp" line="174"/>
        <source>평행선분</source>
        <translation>平行線分</translation>
    </message>
    <message>
        <location filename="../src/commands/measure_area.cpp" line="97"/>
        <location filename="../src/ui/measure_menu.cpp" line="175"/>
        <location filename="../src/measure/objects.h" line="25"/>
        <source>사각형</source>
        <translation>四角形</translation>
    </message>
    <message>
        <location filename="../src/commands/measure_area.cpp" line="98"/>
        <location filename="../src/ui/measure_menu.cpp" line="175"/>
        <location filename="../src/measure/objects.h" line="23"/>
        <source>원</source>
        <translation>円</translation>
    </message>
    <message>
        <location filename="../src/commands/measure_area.cpp" line="99"/>
        <location filename="../src/ui/measure_menu.cpp" line="176"/>
        <location filename="../src/measure/objects.h" line="24"/>
        <source>사이각</source>
        <translation>角度</translation>
    </message>
    <message>
        <location filename="../src/commands/measure_area.cpp" line="100"/>
        <location filename="../src/ui/measure_menu.cpp" line="176"/>
        <source>기준선 거리</source>
        <translation>基準線からの距離</translation>
    </message>
    <message>
        <location filename="../src/commands/measure_area.cpp" line="101"/>
        <location filename="../src/commands/paint_commands.cpp" line="122"/>
        <location filename="../src/ui/measure_menu.cpp" line="177"/>
        <location filename="../src/measure/objects.h" line="26"/>
        <source>다각선</source>
        <translation>折れ線</translation>
    </message>
    <message>
        <location filename="../src/commands/measure_area.cpp" line="102"/>
        <location filename="../src/ui/measure_menu.cpp" line="177"/>
        <location filename="../src/measure/objects.h" line="27"/>
        <source>다각형</source>
        <translation>多角形</translation>
    </message>
    <message>
        <location filename="../src/commands/measure_area.cpp" line="103"/>
        <location filename="../src/ui/measure_menu.cpp" line="178"/>
        <source>다각형 점추가</source>
        <translation>多角形の点を追加</translation>
    </message>
    <message>
        <location filename="../src/commands/measure_area.cpp" line="104"/>
        <location filename="../src/ui/measure_menu.cpp" line="178"/>
        <source>다각형 점제거</source>
        <translation>多角形の点を削除</translation>
    </message>
    <message>
        <location filename="../src/commands/measure_area.cpp" line="105"/>
        <location filename="../src/ui/measure_menu.cpp" line="179"/>
        <location filename="../src/measure/objects.h" line="28"/>
        <source>곡선</source>
        <translation>曲線</translation>
    </message>
    <message>
        <location filename="../src/commands/measure_area.cpp" line="106"/>
        <location filename="../src/ui/measure_menu.cpp" line="179"/>
        <source>곡선 등록</source>
        <translation>曲線を登録</translation>
    </message>
    <message>
        <location filename="../src/commands/measure_area.cpp" line="112"/>
        <location filename="../src/ui/measure_menu.cpp" line="180"/>
        <source>벡터 편집 취소</source>
        <translation>ベクター編集を元に戻す</translation>
    </message>
    <message>
        <location filename="../src/commands/measure_area.cpp" line="119"/>
        <location filename="../src/ui/measure_menu.cpp" line="180"/>
        <source>벡터 편집 반복</source>
        <translation>ベクター編集をやり直し</translation>
    </message>
    <message>
        <location filename="../src/commands/measure_area.cpp" line="126"/>
        <location filename="../src/ui/measure_menu.cpp" line="181"/>
        <source>개체 제거</source>
        <translation>オブジェクトを削除</translation>
    </message>
    <message>
        <location filename="../src/commands/measure_area.cpp" line="130"/>
        <source>측정벡터 다시그리기</source>
        <translation>計測ベクターを再描画</translation>
    </message>
    <message>
        <location filename="../src/commands/measure_area.cpp" line="136"/>
        <location filename="../src/ui/measure_menu.cpp" line="181"/>
        <source>벡터 연속 측정 해제</source>
        <translation>ベクター連続計測を解除</translation>
    </message>
    <message>
        <location filename="../src/commands/measure_area.cpp" line="142"/>
        <source>측정 기준...</source>
        <translation>計測基準...</translation>
    </message>
    <message>
        <location filename="../src/commands/measure_area.cpp" line="143"/>
        <location filename="../src/ui/measure_menu.cpp" line="421"/>
        <location filename="../src/ui/measure_menu.cpp" line="182"/>
        <source>분석 환경 설정</source>
        <translation>分析環境設定</translation>
    </message>
    <message>
        <location filename="../src/commands/measure_area.cpp" line="144"/>
        <source>엑셀로 변환...</source>
        <translation>Excelに変換...</translation>
    </message>
    <message>
        <location filename="../src/commands/measure_area.cpp" line="145"/>
        <source>측정 파일 저장...</source>
        <translation>計測ファイルを保存...</translation>
    </message>
    <message>
        <location filename="../src/commands/measure_area.cpp" line="146"/>
        <source>측정 파일 열기...</source>
        <translation>計測ファイルを開く...</translation>
    </message>
    <message>
        <location filename="../src/commands/measure_area.cpp" line="148"/>
        <location filename="../src/ui/layer_panel.cpp" line="148"/>
        <location filename="../src/measure/measure_commands.cpp" line="27"/>
        <source>벡터측정레이어추가</source>
        <translation>ベクター計測レイヤー追加</translation>
    </message>
    <message>
        <location filename="../src/commands/paint_commands.cpp" line="19"/>
        <location filename="../src/tools/fill_tools.cpp" line="14"/>
        <source>클릭이 아닌 드래깅으로 기준선을 먼저 잡으세요</source>
        <translation>クリックではなくドラッグで先に基準線を引いてください</translation>
    </message>
    <message>
        <location filename="../src/commands/paint_commands.cpp" line="69"/>
        <location filename="../src/commands/paint_commands.cpp" line="125"/>
        <location filename="../src/tools/fill_tools.cpp" line="84"/>
        <source>채우기</source>
        <translation>塗りつぶし</translation>
    </message>
    <message>
        <location filename="../src/commands/paint_commands.cpp" line="87"/>
        <location filename="../src/commands/paint_commands.cpp" line="126"/>
        <location filename="../src/tools/fill_tools.cpp" line="13"/>
        <location filename="../src/ui/tool_menu.cpp" line="133"/>
        <source>그라디언트</source>
        <translation>グラデーション</translation>
    </message>
    <message>
        <location filename="../src/commands/paint_commands.cpp" line="99"/>
        <location filename="../src/tools/paint_tools.cpp" line="189"/>
        <source>붓그리기</source>
        <translation>ブラシ描画</translation>
    </message>
    <message>
        <location filename="../src/commands/paint_commands.cpp" line="118"/>
        <location filename="../src/tools/paint_tools.cpp" line="194"/>
        <source>물방울</source>
        <translation>水滴</translation>
    </message>
    <message>
        <location filename="../src/commands/paint_commands.cpp" line="118"/>
        <location filename="../src/tools/paint_tools.cpp" line="195"/>
        <source>물방울 효과</source>
        <translation>水滴効果</translation>
    </message>
    <message>
        <location filename="../src/commands/paint_commands.cpp" line="119"/>
        <source>붓 그리기</source>
        <translation>ブラシで描く</translation>
    </message>
    <message>
        <location filename="../src/commands/paint_commands.cpp" line="119"/>
        <source>붓으로 그리기</source>
        <translation>ブラシで描画します</translation>
    </message>
    <message>
        <location filename="../src/commands/paint_commands.cpp" line="120"/>
        <location filename="../src/tools/paint_tools.cpp" line="200"/>
        <source>선그리기</source>
        <translation>直線を描く</translation>
    </message>
    <message>
        <location filename="../src/commands/paint_commands.cpp" line="121"/>
        <location filename="../src/tools/paint_tools.cpp" line="203"/>
        <source>원 그리기</source>
        <translation>円を描く</translation>
    </message>
    <message>
        <location filename="../src/commands/paint_commands.cpp" line="123"/>
        <location filename="../src/tools/paint_tools.cpp" line="187"/>
        <source>스프레이</source>
        <translation>スプレー</translation>
    </message>
    <message>
        <location filename="../src/commands/paint_commands.cpp" line="124"/>
        <source>지우개</source>
        <translation>消しゴム</translation>
    </message>
    <message>
        <location filename="../src/commands/paint_commands.cpp" line="127"/>
        <location filename="../src/tools/text_layer.cpp" line="13"/>
        <location filename="../src/ui/dlg_text.cpp" line="55"/>
        <source>글자입력</source>
        <translation>文字入力</translation>
    </message>
    <message>
        <location filename="../src/commands/paint_commands.cpp" line="128"/>
        <source>픽셀값 추출</source>
        <translation>スポイト</translation>
    </message>
    <message>
        <location filename="../src/commands/selection_commands.cpp" line="63"/>
        <source>이동</source>
        <translation>移動</translation>
    </message>
    <message>
        <location filename="../src/commands/selection_commands.cpp" line="63"/>
        <source>이동(레스터형식)</source>
        <translation>移動(ラスター形式)</translation>
    </message>
    <message>
        <location filename="../src/commands/selection_commands.cpp" line="64"/>
        <location filename="../src/tools/selection_tools.cpp" line="340"/>
        <source>사각선택</source>
        <translation>矩形選択</translation>
    </message>
    <message>
        <location filename="../src/commands/selection_commands.cpp" line="64"/>
        <source>마우스드래깅으로 사각영역을 지정함</source>
        <translation>マウスのドラッグで矩形範囲を指定します</translation>
    </message>
    <message>
        <location filename="../src/commands/selection_commands.cpp" line="65"/>
        <source>다각형선택</source>
        <translation>多角形選択</translation>
    </message>
    <message>
        <location filename="../src/commands/selection_commands.cpp" line="65"/>
        <source>다각형 형태의 영역 지정</source>
        <translation>多角形の範囲を指定します</translation>
    </message>
    <message>
        <location filename="../src/commands/selection_commands.cpp" line="66"/>
        <source>자유선택</source>
        <translation>自由選択</translation>
    </message>
    <message>
        <location filename="../src/commands/selection_commands.cpp" line="66"/>
        <source>마우스 이동 경로가 만드는 영역을 선택함</source>
        <translation>マウスの軌跡で囲んだ範囲を選択します</translation>
    </message>
    <message>
        <location filename="../src/commands/selection_commands.cpp" line="67"/>
        <source>자동선택</source>
        <translation>自動選択</translation>
    </message>
    <message>
        <location filename="../src/commands/selection_commands.cpp" line="67"/>
        <source>클릭지점과 같은 색상의 영역을 자동으로 선택</source>
        <translation>クリックした地点と同じ色の範囲を自動で選択します</translation>
    </message>
    <message>
        <location filename="../src/commands/selection_commands.cpp" line="69"/>
        <source>색상범위지정 선택</source>
        <translation>色域指定で選択</translation>
    </message>
    <message>
        <location filename="../src/commands/selection_commands.cpp" line="71"/>
        <source>선택반전</source>
        <translation>選択範囲を反転</translation>
    </message>
    <message>
        <location filename="../src/commands/selection_commands.cpp" line="73"/>
        <source>선택/명령 해제	Ctrl+D</source>
        <translation>選択/コマンド解除	Ctrl+D</translation>
    </message>
    <message>
        <location filename="../src/commands/selection_commands.cpp" line="74"/>
        <source>영역/명령 선택을 해제함</source>
        <translation>範囲選択やコマンドを解除します</translation>
    </message>
    <message>
        <location filename="../src/commands/selection_commands.cpp" line="74"/>
        <source>선택/명령 해제</source>
        <translation>選択/コマンド解除</translation>
    </message>
    <message>
        <location filename="../src/commands/surfaces.cpp" line="12"/>
        <source>파일(&amp;F)</source>
        <translation>ファイル(&amp;F)</translation>
    </message>
    <message>
        <location filename="../src/commands/surfaces.cpp" line="12"/>
        <source>편집(&amp;E)</source>
        <translation>編集(&amp;E)</translation>
    </message>
    <message>
        <location filename="../src/commands/surfaces.cpp" line="12"/>
        <source>그리기</source>
        <translation>描画</translation>
    </message>
    <message>
        <location filename="../src/commands/surfaces.cpp" line="13"/>
        <source>영상(&amp;I)</source>
        <translation>イメージ(&amp;I)</translation>
    </message>
    <message>
        <location filename="../src/commands/surfaces.cpp" line="13"/>
        <source>필터링(&amp;F)</source>
        <translation>フィルター(&amp;F)</translation>
    </message>
    <message>
        <location filename="../src/commands/surfaces.cpp" line="13"/>
        <source>레이어(&amp;L)</source>
        <translation>レイヤー(&amp;L)</translation>
    </message>
    <message>
        <location filename="../src/commands/surfaces.cpp" line="14"/>
        <source>영역선택(&amp;S)</source>
        <translation>選択範囲(&amp;S)</translation>
    </message>
    <message>
        <location filename="../src/commands/surfaces.cpp" line="14"/>
        <source>변형 및 꾸미기</source>
        <translation>変形と装飾</translation>
    </message>
    <message>
        <location filename="../src/commands/surfaces.cpp" line="14"/>
        <source>보기(&amp;V)</source>
        <translation>表示(&amp;V)</translation>
    </message>
    <message>
        <location filename="../src/commands/surfaces.cpp" line="15"/>
        <source>동영상</source>
        <translation>動画</translation>
    </message>
    <message>
        <location filename="../src/commands/surfaces.cpp" line="15"/>
        <source>윈도우(&amp;W)</source>
        <translation>ウィンドウ(&amp;W)</translation>
    </message>
    <message>
        <location filename="../src/commands/surfaces.cpp" line="15"/>
        <source>도움말(&amp;H)</source>
        <translation>ヘルプ(&amp;H)</translation>
    </message>
    <message>
        <location filename="../src/commands/surfaces.cpp" line="18"/>
        <source>레이어 회전..</source>
        <translation>レイヤー回転..</translation>
    </message>
    <message>
        <location filename="../src/commands/surfaces.cpp" line="19"/>
        <source>캔버스 회전</source>
        <translation>カンバス回転</translation>
    </message>
    <message>
        <location filename="../src/commands/surfaces.cpp" line="20"/>
        <source>자유 변형</source>
        <translation>自由変形</translation>
    </message>
    <message>
        <location filename="../src/commands/surfaces.cpp" line="24"/>
        <location filename="../src/ui/decoration_menu.cpp" line="45"/>
        <location filename="../src/ui/dlg_scan.cpp" line="115"/>
        <location filename="../src/ui/dlg_text.cpp" line="243"/>
        <location filename="../src/ui/decoration_menu.cpp" line="283"/>
        <location filename="../src/ui/tool_menu.cpp" line="141"/>
        <source>색상</source>
        <translation>色</translation>
    </message>
    <message>
        <location filename="../src/commands/surfaces.cpp" line="25"/>
        <source>편집</source>
        <translation>編集</translation>
    </message>
    <message>
        <location filename="../src/commands/surfaces.cpp" line="26"/>
        <source>꾸미기</source>
        <translation>装飾</translation>
    </message>
    <message>
        <location filename="../src/commands/transform_area.cpp" line="105"/>
        <location filename="../src/ui/dlg_transform.cpp" line="60"/>
        <source>그림크기조정</source>
        <translation>画像サイズ調整</translation>
    </message>
    <message>
        <location filename="../src/commands/transform_area.cpp" line="108"/>
        <location filename="../src/processing/transform_commands.cpp" line="34"/>
        <source>이미지크기</source>
        <translation>画像サイズ</translation>
    </message>
    <message>
        <location filename="../src/commands/transform_area.cpp" line="109"/>
        <location filename="../src/commands/transform_area.cpp" line="111"/>
        <location filename="../src/processing/transform_commands.cpp" line="30"/>
        <source>자유회전</source>
        <translation>自由回転</translation>
    </message>
    <message>
        <location filename="../src/commands/transform_area.cpp" line="118"/>
        <source>90   시계방향</source>
        <translation>90   時計回り</translation>
    </message>
    <message>
        <location filename="../src/commands/transform_area.cpp" line="119"/>
        <source>90   반시계방향</source>
        <translation>90   反時計回り</translation>
    </message>
    <message>
        <location filename="../src/commands/transform_area.cpp" line="120"/>
        <location filename="../src/commands/transform_area.cpp" line="123"/>
        <source>180  회전</source>
        <translation>180  回転</translation>
    </message>
    <message>
        <location filename="../src/commands/transform_area.cpp" line="121"/>
        <source> 90  시계방향</source>
        <translation> 90  時計回り</translation>
    </message>
    <message>
        <location filename="../src/commands/transform_area.cpp" line="122"/>
        <source> 90  반시계방향</source>
        <translation> 90  反時計回り</translation>
    </message>
    <message>
        <location filename="../src/commands/transform_area.cpp" line="132"/>
        <location filename="../src/commands/transform_area.cpp" line="138"/>
        <location filename="../src/processing/transform_commands.cpp" line="19"/>
        <source>수직제비회전</source>
        <translation>上下反転</translation>
    </message>
    <message>
        <location filename="../src/commands/transform_area.cpp" line="135"/>
        <location filename="../src/commands/transform_area.cpp" line="142"/>
        <location filename="../src/processing/transform_commands.cpp" line="18"/>
        <source>수평제비회전</source>
        <translation>左右反転</translation>
    </message>
    <message>
        <location filename="../src/commands/transform_area.cpp" line="161"/>
        <location filename="../src/processing/filter_table.cpp" line="50"/>
        <location filename="../src/ui/dlg_text.cpp" line="242"/>
        <location filename="../src/ui/dlg_text.cpp" line="83"/>
        <location filename="../src/processing/transform_commands.cpp" line="31"/>
        <source>크기</source>
        <translation>拡大・縮小</translation>
    </message>
    <message>
        <location filename="../src/commands/transform_area.cpp" line="162"/>
        <source>자유변형 크기</source>
        <translation>自由変形 拡大・縮小</translation>
    </message>
    <message>
        <location filename="../src/commands/transform_area.cpp" line="163"/>
        <location filename="../src/processing/transform_commands.cpp" line="32"/>
        <source>뒤틀림</source>
        <translation>ゆがみ</translation>
    </message>
    <message>
        <location filename="../src/commands/transform_area.cpp" line="164"/>
        <source>자유변형</source>
        <translation>自由変形</translation>
    </message>
    <message>
        <location filename="../src/commands/transform_area.cpp" line="165"/>
        <location filename="../src/processing/transform_commands.cpp" line="33"/>
        <source>원근감</source>
        <translation>遠近法</translation>
    </message>
    <message>
        <location filename="../src/commands/transform_area.cpp" line="174"/>
        <location filename="../src/ui/dlg_transform.cpp" line="127"/>
        <source>캔버스 크기 늘리기</source>
        <translation>カンバスサイズを拡大</translation>
    </message>
    <message>
        <location filename="../src/commands/transform_area.cpp" line="177"/>
        <source>캔버스 크기 조정</source>
        <translation>カンバスサイズ調整</translation>
    </message>
    <message>
        <location filename="../src/commands/transform_area.cpp" line="178"/>
        <location filename="../src/commands/transform_area.cpp" line="179"/>
        <location filename="../src/ui/face_trans.cpp" line="25"/>
        <source>늘리고쭈구리기</source>
        <translation>伸ばしと縮め</translation>
    </message>
    <message>
        <location filename="../src/commands/transform_area.cpp" line="180"/>
        <location filename="../src/ui/dlg_transform.cpp" line="234"/>
        <source>레이어효과</source>
        <translation>レイヤー効果</translation>
    </message>
    <message>
        <location filename="../src/commands/transform_area.cpp" line="183"/>
        <source>레이어 효과</source>
        <translation>レイヤーの効果</translation>
    </message>
    <message>
        <location filename="../src/commands/view_commands.cpp" line="13"/>
        <source>레이어.작업내역보기(&amp;L)</source>
        <translation>レイヤー・作業履歴(&amp;L)</translation>
    </message>
    <message>
        <location filename="../src/commands/view_commands.cpp" line="13"/>
        <source>레이어보기창</source>
        <translation>レイヤーウィンドウ</translation>
    </message>
    <message>
        <location filename="../src/commands/view_commands.cpp" line="14"/>
        <location filename="../src/ui/quick_edit.cpp" line="21"/>
        <source>포토 간편 편집 창</source>
        <translation>フォト簡単編集ウィンドウ</translation>
    </message>
    <message>
        <location filename="../src/commands/view_commands.cpp" line="14"/>
        <source>디카편집창</source>
        <translation>デジカメ編集ウィンドウ</translation>
    </message>
    <message>
        <location filename="../src/commands/view_commands.cpp" line="15"/>
        <source>늘여보기(&amp;e)</source>
        <translation>拡大表示(&amp;E)</translation>
    </message>
    <message>
        <location filename="../src/commands/view_commands.cpp" line="16"/>
        <source>확대	 Ctrl + + </source>
        <translation>拡大	 Ctrl + + </translation>
    </message>
    <message>
        <location filename="../src/commands/view_commands.cpp" line="17"/>
        <source>화면 확대</source>
        <translation>画面を拡大</translation>
    </message>
    <message>
        <location filename="../src/commands/view_commands.cpp" line="17"/>
        <source>확대	Ctrl++</source>
        <translation>拡大	Ctrl++</translation>
    </message>
    <message>
        <location filename="../src/commands/view_commands.cpp" line="19"/>
        <source>축소	Ctrl + -</source>
        <translation>縮小	Ctrl + -</translation>
    </message>
    <message>
        <location filename="../src/commands/view_commands.cpp" line="20"/>
        <source>화면 축소</source>
        <translation>画面を縮小</translation>
    </message>
    <message>
        <location filename="../src/commands/view_commands.cpp" line="20"/>
        <source>축소	Ctrl--</source>
        <translation>縮小	Ctrl--</translation>
    </message>
    <message>
        <location filename="../src/commands/view_commands.cpp" line="22"/>
        <source>(1:1)보기 	Ctrl + 1</source>
        <translation>等倍(1:1)表示 	Ctrl + 1</translation>
    </message>
    <message>
        <location filename="../src/commands/view_commands.cpp" line="23"/>
        <source>화면 보기를 1:1 로</source>
        <translation>画面を等倍で表示</translation>
    </message>
    <message>
        <location filename="../src/commands/view_commands.cpp" line="24"/>
        <location filename="../src/ui/settings_dialog.cpp" line="95"/>
        <source>격자보기</source>
        <translation>グリッド表示</translation>
    </message>
    <message>
        <location filename="../src/commands/view_commands.cpp" line="27"/>
        <source>무비만들기 </source>
        <translation>ムービー作成 </translation>
    </message>
    <message>
        <location filename="../src/commands/view_commands.cpp" line="27"/>
        <source>동영상 만들기</source>
        <translation>動画を作成</translation>
    </message>
    <message>
        <location filename="../src/decorations/calendar.cpp" line="12"/>
        <source>[달력]</source>
        <translation>[カレンダー]</translation>
    </message>
    <message>
        <location filename="../src/decorations/calendar.cpp" line="177"/>
        <source> [달력]%2d월</source>
        <translation> [カレンダー]%2d月</translation>
    </message>
    <message>
        <location filename="../src/formats/format_dispatch.cpp" line="38"/>
        <source>모든그림형식</source>
        <translation>すべての画像形式</translation>
    </message>
    <message>
        <location filename="../src/formats/vlm.cpp" line="26"/>
        <source>VLM 형식의 버전이 상이함</source>
        <translation>VLM 形式のバージョンが異なります</translation>
    </message>
    <message>
        <location filename="../src/formats/vlm.cpp" line="27"/>
        <source>VLM 파일이 손상되어 열 수 없습니다.</source>
        <translation>VLM ファイルが破損しているため開けません。</translation>
    </message>
    <message>
        <location filename="../src/formats/vlm.cpp" line="28"/>
        <source>파일을 저장하지 못했습니다. 기존 파일은 그대로 남아 있습니다.</source>
        <translation>ファイルを保存できませんでした。元のファイルはそのまま残っています。</translation>
    </message>
    <message>
        <location filename="../src/formats/vlm.cpp" line="437"/>
        <location filename="../src/ui/main_frame.cpp" line="67"/>
        <location filename="../src/image/doc.cpp" line="25"/>
        <source>해당 파일을 열 수 없습니다.</source>
        <translation>このファイルを開けません。</translation>
    </message>
    <message>
        <location filename="../src/image/history.cpp" line="26"/>
        <source>작업내역을 임시폴더에 기록하지 못했습니다. (디스크 공간 부족 또는 임시폴더 없음)<byte value="xd"/>
작업 결과는 그대로 남지만 이 단계는 실행취소할 수 없습니다.</source>
        <translation>作業履歴を一時フォルダーに記録できませんでした。(ディスクの空き不足、または一時フォルダーがありません)<byte value="xd"/>
作業結果はそのまま残りますが、この手順は元に戻せません。</translation>
    </message>
    <message>
        <location filename="../src/image/history.cpp" line="29"/>
        <source>작업내역 파일을 읽을 수 없습니다. (임시폴더의 파일이 지워졌거나 손상됨)<byte value="xd"/>
그림은 바뀌지 않았습니다.</source>
        <translation>作業履歴ファイルを読み込めません。(一時フォルダーのファイルが削除されたか破損しています)<byte value="xd"/>
画像は変更されていません。</translation>
    </message>
    <message>
        <location filename="../src/image/history.cpp" line="1032"/>
        <source>REDO : 언두리스트(Top %d)</source>
        <translation>REDO : 元に戻すリスト(Top %d)</translation>
    </message>
    <message>
        <location filename="../src/processing/effects.cpp" line="10"/>
        <source>레이어효과(그림자)</source>
        <translation>レイヤー効果(影)</translation>
    </message>
    <message>
        <location filename="../src/processing/filter_table.cpp" line="10"/>
        <source>미지정</source>
        <translation>未指定</translation>
    </message>
    <message>
        <location filename="../src/processing/filter_table.cpp" line="38"/>
        <source>축소허용</source>
        <translation>縮小許容値</translation>
    </message>
    <message>
        <location filename="../src/processing/filter_table.cpp" line="39"/>
        <location filename="../src/processing/filter_table.cpp" line="54"/>
        <source>확장허용</source>
        <translation>拡張許容値</translation>
    </message>
    <message>
        <location filename="../src/processing/filter_table.cpp" line="40"/>
        <source>흐림</source>
        <translation>ぼかし</translation>
    </message>
    <message>
        <location filename="../src/processing/filter_table.cpp" line="41"/>
        <source>부드러움</source>
        <translation>やわらかさ</translation>
    </message>
    <message>
        <location filename="../src/processing/filter_table.cpp" line="43"/>
        <location filename="../src/processing/filter_table.cpp" line="44"/>
        <source>추출정도</source>
        <translation>抽出の度合い</translation>
    </message>
    <message>
        <location filename="../src/processing/filter_table.cpp" line="43"/>
        <location filename="../src/processing/filter_table.cpp" line="44"/>
        <source>음영표현</source>
        <translation>陰影表現</translation>
    </message>
    <message>
        <location filename="../src/processing/filter_table.cpp" line="45"/>
        <location filename="../src/processing/filter_table.cpp" line="46"/>
        <source>윤곽정도</source>
        <translation>輪郭の度合い</translation>
    </message>
    <message>
        <location filename="../src/processing/filter_table.cpp" line="45"/>
        <location filename="../src/processing/filter_table.cpp" line="46"/>
        <location filename="../src/processing/filter_table.cpp" line="47"/>
        <source>선분길이</source>
        <translation>線分の長さ</translation>
    </message>
    <message>
        <location filename="../src/processing/filter_table.cpp" line="45"/>
        <location filename="../src/processing/filter_table.cpp" line="46"/>
        <source>색상표현</source>
        <translation>色表現</translation>
    </message>
    <message>
        <location filename="../src/processing/filter_table.cpp" line="47"/>
        <source>반복</source>
        <translation>繰り返し</translation>
    </message>
    <message>
        <location filename="../src/processing/filter_table.cpp" line="48"/>
        <source>붓크기</source>
        <translation>ブラシサイズ</translation>
    </message>
    <message>
        <location filename="../src/processing/filter_table.cpp" line="49"/>
        <location filename="../src/processing/filter_table.cpp" line="51"/>
        <source>흐림정도</source>
        <translation>ぼかしの度合い</translation>
    </message>
    <message>
        <location filename="../src/processing/filter_table.cpp" line="50"/>
        <location filename="../src/processing/filter_table.cpp" line="57"/>
        <source>빈도</source>
        <translation>頻度</translation>
    </message>
    <message>
        <location filename="../src/processing/filter_table.cpp" line="52"/>
        <source>잡영크기</source>
        <translation>ノイズサイズ</translation>
    </message>
    <message>
        <location filename="../src/processing/filter_table.cpp" line="52"/>
        <source>흡수정도</source>
        <translation>吸収の度合い</translation>
    </message>
    <message>
        <location filename="../src/processing/filter_table.cpp" line="53"/>
        <source>테두리양</source>
        <translation>縁の量</translation>
    </message>
    <message>
        <location filename="../src/processing/filter_table.cpp" line="53"/>
        <source>표시강도</source>
        <translation>表示の強さ</translation>
    </message>
    <message>
        <location filename="../src/processing/filter_table.cpp" line="55"/>
        <source>방울크기</source>
        <translation>水玉サイズ</translation>
    </message>
    <message>
        <location filename="../src/processing/filter_table.cpp" line="55"/>
        <source>윤곽선표시</source>
        <translation>輪郭線表示</translation>
    </message>
    <message>
        <location filename="../src/processing/filter_table.cpp" line="56"/>
        <source>붓길이</source>
        <translation>ストロークの長さ</translation>
    </message>
    <message>
        <location filename="../src/processing/filter_table.cpp" line="56"/>
        <source>세밀함</source>
        <translation>精細さ</translation>
    </message>
    <message>
        <location filename="../src/processing/filter_table.cpp" line="57"/>
        <source>무뉘</source>
        <translation>模様</translation>
    </message>
    <message>
        <location filename="../src/processing/filter_table.cpp" line="61"/>
        <source>조정 1</source>
        <translation>調整 1</translation>
    </message>
    <message>
        <location filename="../src/processing/filter_table.cpp" line="61"/>
        <source>조정 2</source>
        <translation>調整 2</translation>
    </message>
    <message>
        <location filename="../src/processing/filter_table.cpp" line="64"/>
        <location filename="../src/processing/filter_table.cpp" line="65"/>
        <source>농도조절</source>
        <translation>濃度調整</translation>
    </message>
    <message>
        <location filename="../src/processing/filter_table.cpp" line="66"/>
        <source>이진임계치</source>
        <translation>2値化のしきい値</translation>
    </message>
    <message>
        <location filename="../src/processing/transform_commands.cpp" line="11"/>
        <source>자유변형은 줌 100% 상태에서 동작함</source>
        <translation>自由変形はズーム100%の状態でのみ動作します</translation>
    </message>
    <message>
        <location filename="../src/processing/transform_commands.cpp" line="12"/>
        <location filename="../src/image/doc.cpp" line="20"/>
        <source>[글]레이어가 포함되어 있습니다. [레스터 형식 변환] 후 다시 실행하십시요.</source>
        <translation>[文字]レイヤーが含まれています。[ラスタライズ]してから再度実行してください。</translation>
    </message>
    <message>
        <location filename="../src/processing/transform_commands.cpp" line="13"/>
        <source>[글]레이어 입니다. [레스터 형식 변환] 후 다시 실행하십시요.</source>
        <translation>[文字]レイヤーです。[ラスタライズ]してから再度実行してください。</translation>
    </message>
    <message>
        <location filename="../src/processing/transform_commands.cpp" line="39"/>
        <location filename="../src/ui/dlg_adjust.cpp" line="28"/>
        <location filename="../src/image/doc.cpp" line="19"/>
        <source>현재는 [Text:글] 레이어. 
<byte value="xd"/>레이어창에서 다른 레이어 선택</source>
        <translation>現在は[Text:文字]レイヤーです。
<byte value="xd"/>レイヤーウィンドウで別のレイヤーを選択してください</translation>
    </message>
    <message>
        <location filename="../src/tools/fill_tools.cpp" line="84"/>
        <source>빈영역채우기</source>
        <translation>空き領域の塗りつぶし</translation>
    </message>
    <message>
        <location filename="../src/tools/fill_tools.cpp" line="84"/>
        <location filename="../src/tools/selection_tools.cpp" line="348"/>
        <source>포함한계치</source>
        <translation>許容範囲</translation>
    </message>
    <message>
        <location filename="../src/tools/paint_tools.cpp" line="190"/>
        <source>점찍기</source>
        <translation>点描</translation>
    </message>
    <message>
        <location filename="../src/tools/paint_tools.cpp" line="195"/>
        <source>퍼짐정도</source>
        <translation>広がり</translation>
    </message>
    <message>
        <location filename="../src/tools/paint_tools.cpp" line="197"/>
        <source>영역지우기</source>
        <translation>範囲消去</translation>
    </message>
    <message>
        <location filename="../src/tools/paint_tools.cpp" line="202"/>
        <source>다각형그리기</source>
        <translation>多角形を描く</translation>
    </message>
    <message>
        <location filename="../src/tools/paint_tools.cpp" line="205"/>
        <location filename="../src/ui/tool_menu.cpp" line="216"/>
        <source>색상추출</source>
        <translation>色の抽出</translation>
    </message>
    <message>
        <location filename="../src/tools/selection_tools.cpp" line="335"/>
        <source>인접한 유사영역 탐색지정</source>
        <translation>隣接する類似範囲を検索して指定</translation>
    </message>
    <message>
        <location filename="../src/tools/selection_tools.cpp" line="339"/>
        <source>영역지정</source>
        <translation>範囲指定</translation>
    </message>
    <message>
        <location filename="../src/tools/text_layer.cpp" line="14"/>
        <source>글자수정</source>
        <translation>文字修正</translation>
    </message>
    <message>
        <location filename="../src/ui/anchor_line.cpp" line="35"/>
        <location filename="../src/ui/measure_menu.cpp" line="499"/>
        <location filename="../src/ui/face_trans.cpp" line="87"/>
        <location filename="../src/ui/tool_menu.cpp" line="146"/>
        <source>닫기</source>
        <translation>閉じる</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="38"/>
        <source>이미지쇼 변환</source>
        <translation>イメージショー変換</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="39"/>
        <source>[Movie 만들기]</source>
        <translation>[ムービー作成]</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="40"/>
        <source>이미지 추가...</source>
        <translation>画像を追加...</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="41"/>
        <source>한줄 지움</source>
        <translation>1行削除</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="42"/>
        <source>전체 비움</source>
        <translation>すべて消去</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="43"/>
        <source>이미지 리스트 전체를 제거하시겠습니까?</source>
        <translation>画像リストをすべて削除しますか?</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="44"/>
        <source>위쪽으로</source>
        <translation>上へ</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="45"/>
        <source>아래쪽으로</source>
        <translation>下へ</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="46"/>
        <source>왼쪽으로</source>
        <translation>左へ</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="47"/>
        <source>오른쪽으로</source>
        <translation>右へ</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="48"/>
        <source>줌인/아웃</source>
        <translation>ズームイン/アウト</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="49"/>
        <source>정지/전환없음</source>
        <translation>静止/切り替えなし</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="50"/>
        <source>줌 지점 지정</source>
        <translation>ズーム位置を指定</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="51"/>
        <source>먼저 [프레임] 혹은 [연결] 리스트의 라인을 클릭</source>
        <translation>まず[フレーム]か[接続]リストの行をクリックしてください</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="52"/>
        <source>먼저 [프레임] 리스트의 라인을 클릭</source>
        <translation>まず[フレーム]リストの行をクリックしてください</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="53"/>
        <source>프레임이 'z' 모드가 아님</source>
        <translation>フレームが 'z' モードではありません</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="54"/>
        <source>출력 파일명 지정</source>
        <translation>出力ファイル名の指定</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="55"/>
        <source>무비 만들기</source>
        <translation>ムービー作成</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="56"/>
        <location filename="../src/ui/dlg_scan.cpp" line="173"/>
        <location filename="../src/ui/dlg_text.cpp" line="246"/>
        <location filename="../src/ui/dlg_scan.cpp" line="83"/>
        <location filename="../src/ui/dlg_text.cpp" line="126"/>
        <location filename="../src/ui/tool_menu.cpp" line="227"/>
        <location filename="../src/ui/scan_menu.cpp" line="148"/>
        <source>취소</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="57"/>
        <source>코덱 다운로드 및 설치</source>
        <translation>コーデックのダウンロードとインストール</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="58"/>
        <source>파일작업폴더 : %1</source>
        <translation>作業フォルダー : %1</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="59"/>
        <source>느림  프레임   빠름</source>
        <translation>遅い  フレーム   速い</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="60"/>
        <source>느림   전환    빠름</source>
        <translation>遅い   切り替え    速い</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="61"/>
        <source>재생 파일 선택</source>
        <translation>再生ファイルの選択</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="62"/>
        <source>재생</source>
        <translation>再生</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="63"/>
        <source>일시정지</source>
        <translation>一時停止</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="64"/>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="72"/>
        <source>정지</source>
        <translation>停止</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="65"/>
        <source> 닫 기 </source>
        <translation> 閉じる </translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="66"/>
        <source>준비</source>
        <translation>準備完了</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="67"/>
        <source>로딩...</source>
        <translation>読み込み中...</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="68"/>
        <source>정지됨</source>
        <translation>停止しました</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="69"/>
        <source>비디오파일명이 올바르지 않습니다.</source>
        <translation>動画ファイル名が正しくありません。</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="73"/>
        <source>z 줌인/아웃</source>
        <translation>z ズームイン/アウト</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="74"/>
        <source>전환패닝없음</source>
        <translation>切り替え・パンなし</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="80"/>
        <source>패닝 </source>
        <translation>パン </translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_scan.cpp" line="27"/>
        <source>컬러</source>
        <translation>カラー</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_scan.cpp" line="28"/>
        <source>회색조</source>
        <translation>グレースケール</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_scan.cpp" line="29"/>
        <source>흑백</source>
        <translation>白黒</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_scan.cpp" line="34"/>
        <source>평판</source>
        <translation>フラットベッド</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_scan.cpp" line="35"/>
        <source>자동 급지(ADF)</source>
        <translation>自動給紙(ADF)</translation>
    </message>
    <message>
        <location filename="../src/ui/face_trans.cpp" line="228"/>
        <location filename="../src/processing/transform_commands.cpp" line="36"/>
        <source>터치변형</source>
        <translation>タッチ変形</translation>
    </message>
    <message>
        <location filename="../src/ui/layer_panel.cpp" line="32"/>
        <source>레이어.작업내역</source>
        <translation>レイヤー・作業履歴</translation>
    </message>
    <message>
        <location filename="../src/ui/layer_panel.cpp" line="33"/>
        <source>(Undo) 뒤로 회복</source>
        <translation>(Undo) 元に戻す</translation>
    </message>
    <message>
        <location filename="../src/ui/layer_panel.cpp" line="34"/>
        <source>(Redo) 앞으로 회복</source>
        <translation>(Redo) やり直す</translation>
    </message>
    <message>
        <location filename="../src/ui/layer_panel.cpp" line="46"/>
        <source>보통</source>
        <translation>通常</translation>
    </message>
    <message>
        <location filename="../src/ui/layer_panel.cpp" line="46"/>
        <source>곱셈혼합</source>
        <translation>乗算</translation>
    </message>
    <message>
        <location filename="../src/ui/layer_panel.cpp" line="46"/>
        <source>화면혼합</source>
        <translation>スクリーン</translation>
    </message>
    <message>
        <location filename="../src/ui/layer_panel.cpp" line="47"/>
        <source>어두운혼합</source>
        <translation>比較(暗)</translation>
    </message>
    <message>
        <location filename="../src/ui/layer_panel.cpp" line="47"/>
        <source>밝은혼합</source>
        <translation>比較(明)</translation>
    </message>
    <message>
        <location filename="../src/ui/layer_panel.cpp" line="47"/>
        <source>차이혼합</source>
        <translation>差の絶対値</translation>
    </message>
    <message>
        <location filename="../src/ui/layer_panel.cpp" line="48"/>
        <source>역차이혼합</source>
        <translation>逆差分</translation>
    </message>
    <message>
        <location filename="../src/ui/layer_panel.cpp" line="48"/>
        <source>제외혼합</source>
        <translation>除外</translation>
    </message>
    <message>
        <location filename="../src/ui/layer_panel.cpp" line="48"/>
        <source>오버레이혼합</source>
        <translation>オーバーレイ</translation>
    </message>
    <message>
        <location filename="../src/ui/main_frame.cpp" line="65"/>
        <source>[%1] 파일을 저장하시겠습니까?</source>
        <translation>[%1] ファイルを保存しますか?</translation>
    </message>
    <message>
        <location filename="../src/ui/main_frame.cpp" line="66"/>
        <source>[%1] 파일이 이미 있습니다.
바꾸시겠습니까?</source>
        <translation>[%1] ファイルは既に存在します。
置き換えますか?</translation>
    </message>
    <message>
        <location filename="../src/ui/main_frame.cpp" line="70"/>
        <source>  전경색의 지정</source>
        <translation>  描画色の指定</translation>
    </message>
    <message>
        <location filename="../src/ui/main_frame.cpp" line="71"/>
        <source>  배경색의 지정</source>
        <translation>  背景色の指定</translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="38"/>
        <source>기준 x, y는 0 이상의 정수, 실제 길이는 0보다 큰 수로 입력하십시요.</source>
        <translation>基準 x、y は 0 以上の整数、実際の長さは 0 より大きい数を入力してください。</translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="39"/>
        <source>측정 기준 파일을 저장할 수 없습니다.</source>
        <translation>計測基準ファイルを保存できません。</translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="40"/>
        <source>파일(Micro.xlsx)이 저장되었습니다.</source>
        <translation>ファイル(Micro.xlsx)を保存しました。</translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="62"/>
        <source>측정 파일 (*.sco)</source>
        <translation>計測ファイル (*.sco)</translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="150"/>
        <source>측정 파일 저장</source>
        <translation>計測ファイルを保存</translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="156"/>
        <source>측정 파일 열기</source>
        <translation>計測ファイルを開く</translation>
    </message>
    <message>
        <location filename="../src/ui/recovery_offer.cpp" line="12"/>
        <source>비정상 종료된 작업을 복구할 수 없어 건너뜁니다.</source>
        <translation>異常終了した作業を復元できないため、スキップします。</translation>
    </message>
    <message>
        <location filename="../src/ui/settings_dialog.cpp" line="32"/>
        <source>컬러지정</source>
        <translation>色の指定</translation>
    </message>
    <message>
        <location filename="../src/ui/settings_dialog.cpp" line="33"/>
        <source>※프로그램을 재시작하면 적용됩니다.</source>
        <translation>※プログラムを再起動すると反映されます。</translation>
    </message>
    <message>
        <location filename="../src/ui/settings_dialog.cpp" line="37"/>
        <source>십자형</source>
        <translation>十字</translation>
    </message>
    <message>
        <location filename="../src/ui/settings_dialog.cpp" line="37"/>
        <source>화살표</source>
        <translation>矢印</translation>
    </message>
    <message>
        <location filename="../src/ui/settings_dialog.cpp" line="37"/>
        <source>위쪽 화살표</source>
        <translation>上向き矢印</translation>
    </message>
    <message>
        <location filename="../src/ui/settings_dialog.cpp" line="37"/>
        <source>점</source>
        <translation>点</translation>
    </message>
    <message>
        <location filename="../src/ui/settings_dialog.cpp" line="37"/>
        <source>글자 커서</source>
        <translation>文字カーソル</translation>
    </message>
    <message>
        <location filename="../src/ui/settings_dialog.cpp" line="38"/>
        <source>가로줄</source>
        <translation>横線</translation>
    </message>
    <message>
        <location filename="../src/ui/settings_dialog.cpp" line="38"/>
        <source>세로줄</source>
        <translation>縦線</translation>
    </message>
    <message>
        <location filename="../src/ui/settings_dialog.cpp" line="38"/>
        <source>사선(\)</source>
        <translation>斜線(\)</translation>
    </message>
    <message>
        <location filename="../src/ui/settings_dialog.cpp" line="38"/>
        <source>사선(/)</source>
        <translation>斜線(/)</translation>
    </message>
    <message>
        <location filename="../src/ui/settings_dialog.cpp" line="38"/>
        <location filename="../src/ui/settings_dialog.cpp" line="102"/>
        <source>격자</source>
        <translation>格子</translation>
    </message>
    <message>
        <location filename="../src/ui/settings_dialog.cpp" line="38"/>
        <source>사선 격자</source>
        <translation>斜め格子</translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="430"/>
        <source>측정값 표시</source>
        <translation>計測値の表示</translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="444"/>
        <location filename="../src/ui/measure_menu.cpp" line="262"/>
        <source>단위</source>
        <translation>単位</translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="445"/>
        <source>소수점 자리</source>
        <translation>小数点以下の桁数</translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="447"/>
        <location filename="../src/ui/dlg_text.cpp" line="240"/>
        <location filename="../src/ui/dlg_text.cpp" line="81"/>
        <source>글꼴</source>
        <translation>フォント</translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="448"/>
        <source>글자 크기</source>
        <translation>文字サイズ</translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="449"/>
        <location filename="../src/ui/dlg_text.cpp" line="78"/>
        <source>글자색</source>
        <translation>文字色</translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="449"/>
        <source>선 색</source>
        <translation>線の色</translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="449"/>
        <source>강조 선 색</source>
        <translation>強調線の色</translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="460"/>
        <source>선 굵기</source>
        <translation>線の太さ</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_adjust.cpp" line="106"/>
        <source>명도·대비 조정</source>
        <translation>明るさ・コントラスト調整</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_adjust.cpp" line="109"/>
        <source>명도</source>
        <translation>明るさ</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_adjust.cpp" line="109"/>
        <source>대비</source>
        <translation>コントラスト</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_scan.cpp" line="102"/>
        <source>외부영상 입력 - %1</source>
        <translation>画像の取り込み - %1</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_scan.cpp" line="111"/>
        <source>급지</source>
        <translation>給紙</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_scan.cpp" line="122"/>
        <location filename="../src/ui/dlg_scan.cpp" line="128"/>
        <source>해상도(dpi)</source>
        <translation>解像度(dpi)</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_scan.cpp" line="132"/>
        <source>읽을 영역(픽셀)</source>
        <translation>読み取り範囲(ピクセル)</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_scan.cpp" line="133"/>
        <source>읽을 영역(mm)</source>
        <translation>読み取り範囲(mm)</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_scan.cpp" line="136"/>
        <source>왼쪽</source>
        <translation>左</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_scan.cpp" line="136"/>
        <source>위</source>
        <translation>上</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_scan.cpp" line="136"/>
        <source>오른쪽</source>
        <translation>右</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_scan.cpp" line="136"/>
        <source>아래</source>
        <translation>下</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_scan.cpp" line="145"/>
        <source>전체 영역</source>
        <translation>全範囲</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_scan.cpp" line="164"/>
        <source>미리보기 없음</source>
        <translation>プレビューなし</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_scan.cpp" line="166"/>
        <source>미리보기</source>
        <translation>プレビュー</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_scan.cpp" line="172"/>
        <source>읽어들이기</source>
        <translation>読み込み</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_scan.cpp" line="201"/>
        <source>미리보기를 읽을 수 없습니다.</source>
        <translation>プレビューを読み込めません。</translation>
    </message>
    <message>
        <location filename="../src/ui/anchor_line.cpp" line="67"/>
        <source>선긋기 길이(%)</source>
        <translation>線の長さ(%)</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_text.cpp" line="225"/>
        <source>색</source>
        <translation>色</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_text.cpp" line="238"/>
        <source>년</source>
        <translation>年</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_text.cpp" line="239"/>
        <source>월</source>
        <translation>月</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_text.cpp" line="241"/>
        <location filename="../src/ui/dlg_text.cpp" line="89"/>
        <source>스타일</source>
        <translation>スタイル</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_text.cpp" line="245"/>
        <location filename="../src/ui/dlg_text.cpp" line="125"/>
        <source>확인</source>
        <translation>OK</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="142"/>
        <source>이미지</source>
        <translation>画像</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="143"/>
        <source>프레임</source>
        <translation>フレーム</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="144"/>
        <source>연결</source>
        <translation>接続</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="185"/>
        <source>줌 지점 X</source>
        <translation>ズーム位置 X</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="194"/>
        <source>왼쪽에서부터의 비율</source>
        <translation>左からの比率</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="195"/>
        <source>아래쪽에서부터의 비율</source>
        <translation>下からの比率</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="204"/>
        <source>프레임 크기</source>
        <translation>フレームサイズ</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="248"/>
        <source>플레이어</source>
        <translation>プレーヤー</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="451"/>
        <source>취소됨</source>
        <translation>キャンセルしました</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="452"/>
        <source>무비 작성 실패</source>
        <translation>ムービーの作成に失敗しました</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="453"/>
        <source>작성된 프레임 없음</source>
        <translation>作成されたフレームがありません</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="467"/>
        <source>무비 (*.avi *.mpg *.mpeg *.wmv *.mp4 *.mkv *.mov *.bmp);;*.*</source>
        <translation>ムービー (*.avi *.mpg *.mpeg *.wmv *.mp4 *.mkv *.mov *.bmp);;*.*</translation>
    </message>
    <message>
        <location filename="../src/ui/decoration_menu.cpp" line="217"/>
        <source>틀의 두께</source>
        <translation>枠の太さ</translation>
    </message>
    <message>
        <location filename="../src/ui/recovery_offer.cpp" line="18"/>
        <source>제목없음</source>
        <translation>無題</translation>
    </message>
    <message>
        <location filename="../src/ui/recovery_offer.cpp" line="19"/>
        <source>프로그램이 비정상 종료되어 저장하지 않은 작업이 남아 있습니다.

%1</source>
        <translation>プログラムが異常終了したため、保存されていない作業が残っています。

%1</translation>
    </message>
    <message>
        <location filename="../src/ui/recovery_offer.cpp" line="21"/>
        <source>
작업내역 %1단계 (%2), 레이어 %3개

마지막으로 기록된 상태로 복구하시겠습니까?</source>
        <translation>
作業履歴 %1 ステップ (%2)、レイヤー %3 個

最後に記録された状態に復元しますか?</translation>
    </message>
    <message>
        <location filename="../src/ui/recovery_offer.h" line="28"/>
        <source>작업 복구</source>
        <translation>作業の復元</translation>
    </message>
    <message>
        <location filename="../src/ui/recovery_offer.h" line="29"/>
        <source>복구</source>
        <translation>復元</translation>
    </message>
    <message>
        <location filename="../src/ui/recovery_offer.h" line="30"/>
        <source>버림</source>
        <translation>破棄</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_scan.cpp" line="69"/>
        <source>외부장치 선택</source>
        <translation>入力機器の選択</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_scan.cpp" line="71"/>
        <source>영상을 읽어들일 스캐너나 카메라를 고르십시오.</source>
        <translation>画像を読み込むスキャナーまたはカメラを選んでください。</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_scan.cpp" line="82"/>
        <source>선택</source>
        <translation>選択</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_text.cpp" line="85"/>
        <source>줄간격</source>
        <translation>行間</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_text.cpp" line="87"/>
        <source>장평(%)</source>
        <translation>文字幅(%)</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_text.cpp" line="105"/>
        <source>[확인]후,이동도구[</source>
        <translation>[OK]の後、移動ツール[</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_text.cpp" line="109"/>
        <source>]로 위치조정</source>
        <translation>]で位置を調整</translation>
    </message>
    <message>
        <location filename="../src/ui/update_check.cpp" line="98"/>
        <source>Velmira 업데이트 메시지가 도착하였습니다.</source>
        <translation>Velmira のアップデートのお知らせが届きました。</translation>
    </message>
    <message>
        <location filename="../src/ui/update_check.cpp" line="98"/>
        <source>현재 프로그램은 구버전입니다.</source>
        <translation>このプログラムは旧バージョンです。</translation>
    </message>
    <message>
        <location filename="../src/ui/update_check.cpp" line="99"/>
        <source>프로그램 종료 후, Velmira 사이트에서 신버전을 설치하십시요.</source>
        <translation>プログラムを終了してから、Velmira のサイトで新バージョンをインストールしてください。</translation>
    </message>
    <message>
        <location filename="../src/ui/update_check.cpp" line="114"/>
        <source>확 인</source>
        <translation>OK</translation>
    </message>
    <message>
        <location filename="../src/ui/main_frame.cpp" line="280"/>
        <source>부드러운 붓</source>
        <translation>ソフトブラシ</translation>
    </message>
    <message>
        <location filename="../src/ui/main_frame.cpp" line="280"/>
        <source>붓</source>
        <translation>ブラシ</translation>
    </message>
    <message>
        <location filename="../src/ui/main_frame.cpp" line="954"/>
        <source>'Velmira'에 관하여</source>
        <translation>'Velmira' について</translation>
    </message>
    <message>
        <location filename="../src/ui/main_frame.cpp" line="955"/>
        <source>&lt;b&gt;Velmira 3.68&lt;/b&gt;&lt;br&gt;레이어 사진 편집기&lt;br&gt;Linux, Qt %1</source>
        <translation>&lt;b&gt;Velmira 3.68&lt;/b&gt;&lt;br&gt;レイヤー写真編集ソフト&lt;br&gt;Linux, Qt %1</translation>
    </message>
    <message>
        <location filename="../src/ui/mirv_app.h" line="69"/>
        <source>[인터넷] 연결하여 업데이트 여부 확인...</source>
        <translation>[インターネット]に接続してアップデートを確認...</translation>
    </message>
    <message>
        <location filename="../src/image/doc.cpp" line="165"/>
        <source>배경영상</source>
        <translation>背景</translation>
    </message>
    <message>
        <location filename="../src/image/doc.cpp" line="1092"/>
        <location filename="../src/ui/settings_dialog.cpp" line="85"/>
        <source>선택영역</source>
        <translation>選択範囲</translation>
    </message>
    <message>
        <location filename="../src/image/doc.cpp" line="1156"/>
        <source>복사%d_%s</source>
        <translation>コピー%d_%s</translation>
    </message>
    <message>
        <location filename="../src/ui/mirv_app.cpp" line="62"/>
        <source>3.68  사진 편집기</source>
        <translation>3.68  写真編集ソフト</translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="249"/>
        <location filename="../src/ui/measure_menu.cpp" line="182"/>
        <source>측정 기준</source>
        <translation>計測基準</translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="261"/>
        <source>이름</source>
        <translation>名前</translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="263"/>
        <source>기준 x</source>
        <translation>基準 x</translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="264"/>
        <source>기준 y</source>
        <translation>基準 y</translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="265"/>
        <source>픽셀 길이</source>
        <translation>ピクセル長</translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="266"/>
        <source>실제 길이</source>
        <translation>実際の長さ</translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="267"/>
        <source>추가</source>
        <translation>追加</translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="268"/>
        <source>삭제</source>
        <translation>削除</translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="269"/>
        <source>기준설정</source>
        <translation>基準設定</translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="306"/>
        <source>새기준</source>
        <translation>新しい基準</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_transform.cpp" line="133"/>
        <source>현재크기</source>
        <translation>現在のサイズ</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_transform.cpp" line="135"/>
        <location filename="../src/ui/dlg_transform.cpp" line="72"/>
        <source>너비</source>
        <translation>幅</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_transform.cpp" line="137"/>
        <location filename="../src/ui/dlg_transform.cpp" line="140"/>
        <location filename="../src/ui/dlg_transform.cpp" line="70"/>
        <source>픽셀</source>
        <translation>ピクセル</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_transform.cpp" line="138"/>
        <location filename="../src/ui/dlg_transform.cpp" line="75"/>
        <source>높이</source>
        <translation>高さ</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_transform.cpp" line="141"/>
        <source>확장방향</source>
        <translation>拡張方向</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_adjust.cpp" line="146"/>
        <location filename="../src/ui/dlg_adjust.cpp" line="167"/>
        <source>빨강(R)</source>
        <translation>赤(R)</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_adjust.cpp" line="146"/>
        <location filename="../src/ui/dlg_adjust.cpp" line="168"/>
        <source>녹색(G)</source>
        <translation>緑(G)</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_adjust.cpp" line="146"/>
        <source>청색(B)</source>
        <translation>青(B)</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_adjust.cpp" line="167"/>
        <source>색상(H)</source>
        <translation>色相(H)</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_adjust.cpp" line="168"/>
        <source>채도(S)</source>
        <translation>彩度(S)</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_adjust.cpp" line="169"/>
        <source>파랑(B)</source>
        <translation>青(B)</translation>
    </message>
    <message>
        <location filename="../src/ui/tool_menu.cpp" line="179"/>
        <source> 색상범위 영역지정</source>
        <translation> 色域指定で範囲選択</translation>
    </message>
    <message>
        <location filename="../src/ui/tool_menu.cpp" line="184"/>
        <source>0     허용정도   255</source>
        <translation>0     許容範囲   255</translation>
    </message>
    <message>
        <location filename="../src/ui/tool_menu.cpp" line="199"/>
        <source>픽셀수</source>
        <translation>ピクセル数</translation>
    </message>
    <message>
        <location filename="../src/ui/tool_menu.cpp" line="202"/>
        <source>표시색상</source>
        <translation>表示色</translation>
    </message>
    <message>
        <location filename="../src/ui/tool_menu.cpp" line="208"/>
        <source>선택색상</source>
        <translation>選択色</translation>
    </message>
    <message>
        <location filename="../src/ui/tool_menu.cpp" line="215"/>
        <source>효과</source>
        <translation>効果</translation>
    </message>
    <message>
        <location filename="../src/ui/tool_menu.cpp" line="217"/>
        <source>색상추출더하기</source>
        <translation>色の抽出を追加</translation>
    </message>
    <message>
        <location filename="../src/ui/tool_menu.cpp" line="226"/>
        <source>선택해제</source>
        <translation>選択解除</translation>
    </message>
    <message>
        <location filename="../src/ui/tool_menu.cpp" line="270"/>
        <source>픽셀수 %d   (%.2f)%s           </source>
        <translation>ピクセル数 %d   (%.2f)%s           </translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="493"/>
        <location filename="../src/ui/measure_menu.cpp" line="183"/>
        <source>엑셀로 변환</source>
        <translation>Excelに変換</translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="497"/>
        <source>엑셀 파일로 저장</source>
        <translation>Excelファイルとして保存</translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="498"/>
        <source>텍스트 파일로 저장</source>
        <translation>テキストファイルとして保存</translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="503"/>
        <source>시트</source>
        <translation>シート</translation>
    </message>
    <message>
        <location filename="../src/ui/face_trans.cpp" line="57"/>
        <source>눈(코)부분</source>
        <translation>目(鼻)の部分を</translation>
    </message>
    <message>
        <location filename="../src/ui/face_trans.cpp" line="57"/>
        <source>사각선택후</source>
        <translation>矩形選択した後</translation>
    </message>
    <message>
        <location filename="../src/ui/face_trans.cpp" line="57"/>
        <source>변환 버튼</source>
        <translation>変換ボタン</translation>
    </message>
    <message>
        <location filename="../src/ui/face_trans.cpp" line="63"/>
        <source>조정값</source>
        <translation>調整値</translation>
    </message>
    <message>
        <location filename="../src/ui/face_trans.cpp" line="66"/>
        <source>조정2</source>
        <translation>調整2</translation>
    </message>
    <message>
        <location filename="../src/ui/face_trans.cpp" line="73"/>
        <source>쭈구리기</source>
        <translation>縮める</translation>
    </message>
    <message>
        <location filename="../src/ui/face_trans.cpp" line="74"/>
        <source>늘리기</source>
        <translation>伸ばす</translation>
    </message>
    <message>
        <location filename="../src/ui/face_trans.cpp" line="75"/>
        <source>밀기</source>
        <translation>押す</translation>
    </message>
    <message>
        <location filename="../src/ui/face_trans.cpp" line="85"/>
        <source>변환</source>
        <translation>変換</translation>
    </message>
    <message>
        <location filename="../src/ui/face_trans.cpp" line="86"/>
        <source>원래대로</source>
        <translation>元に戻す</translation>
    </message>
    <message>
        <location filename="../src/processing/filter_table.h" line="67"/>
        <location filename="../src/processing/doc_commands.h" line="41"/>
        <source>임계치변환</source>
        <translation>しきい値変換</translation>
    </message>
    <message>
        <location filename="../src/processing/filter_table.h" line="69"/>
        <source>FS 디더링</source>
        <translation>FS ディザ</translation>
    </message>
    <message>
        <location filename="../src/processing/filter_table.h" line="69"/>
        <source>OR 디더링</source>
        <translation>OR ディザ</translation>
    </message>
    <message>
        <location filename="../src/processing/filter_table.h" line="69"/>
        <source>절대변환</source>
        <translation>絶対変換</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_transform.cpp" line="194"/>
        <source>회전각지정</source>
        <translation>回転角度の指定</translation>
    </message>
    <message>
        <location filename="../src/ui/tool_menu.cpp" line="136"/>
        <source>방향</source>
        <translation>方向</translation>
    </message>
    <message>
        <location filename="../src/ui/tool_menu.cpp" line="137"/>
        <source>한쪽으로</source>
        <translation>片側へ</translation>
    </message>
    <message>
        <location filename="../src/ui/tool_menu.cpp" line="138"/>
        <source>양쪽으로</source>
        <translation>両側へ</translation>
    </message>
    <message>
        <location filename="../src/ui/tool_menu.cpp" line="142"/>
        <source>전경색→검정</source>
        <translation>描画色→黒</translation>
    </message>
    <message>
        <location filename="../src/ui/tool_menu.cpp" line="143"/>
        <source>배경색→전경색</source>
        <translation>背景色→描画色</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_transform.cpp" line="255"/>
        <source>투명그림자 효과</source>
        <translation>透明な影の効果</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_transform.cpp" line="257"/>
        <source>레이어 효과 제거</source>
        <translation>レイヤー効果を削除</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_transform.cpp" line="293"/>
        <source>레이어 효과색</source>
        <translation>レイヤー効果の色</translation>
    </message>
    <message>
        <location filename="../src/ui/layer_panel.cpp" line="157"/>
        <source>레이어</source>
        <translation>レイヤー</translation>
    </message>
    <message>
        <location filename="../src/ui/layer_panel.cpp" line="197"/>
        <source>작업내역</source>
        <translation>作業履歴</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_adjust.cpp" line="308"/>
        <source>최대도수</source>
        <translation>最大度数</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_adjust.cpp" line="310"/>
        <source>명암범위</source>
        <translation>明暗範囲</translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="166"/>
        <source>측정 도구</source>
        <translation>計測ツール</translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="183"/>
        <source>다시그리기</source>
        <translation>再描画</translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="200"/>
        <source>값 표시</source>
        <translation>値の表示</translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="207"/>
        <source>기준</source>
        <translation>基準</translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="208"/>
        <source>소수점</source>
        <translation>小数点</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_transform.cpp" line="67"/>
        <source>비율 유지</source>
        <translation>縦横比を固定</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_transform.cpp" line="71"/>
        <source>퍼센트</source>
        <translation>パーセント</translation>
    </message>
    <message>
        <location filename="../src/ui/scan_menu.cpp" line="132"/>
        <source>외부장치를 열 수 없습니다: %1</source>
        <translation>入力機器を開けません: %1</translation>
    </message>
    <message>
        <location filename="../src/ui/scan_menu.cpp" line="141"/>
        <source>외부장치가 설정을 받아들이지 않습니다: %1</source>
        <translation>入力機器が設定を受け付けません: %1</translation>
    </message>
    <message>
        <location filename="../src/ui/scan_menu.cpp" line="148"/>
        <source>외부영상을 읽어들이는 중...</source>
        <translation>画像を読み込み中...</translation>
    </message>
    <message>
        <location filename="../src/ui/scan_menu.cpp" line="171"/>
        <source>외부영상을 읽어들이는 중... (%1쪽)</source>
        <translation>画像を読み込み中... (%1ページ)</translation>
    </message>
    <message>
        <location filename="../src/ui/scan_menu.cpp" line="194"/>
        <source>외부장치 오류: %1</source>
        <translation>入力機器のエラー: %1</translation>
    </message>
    <message>
        <location filename="../src/ui/settings_dialog.cpp" line="72"/>
        <source>커서</source>
        <translation>カーソル</translation>
    </message>
    <message>
        <location filename="../src/ui/settings_dialog.cpp" line="75"/>
        <source>무늬</source>
        <translation>模様</translation>
    </message>
    <message>
        <location filename="../src/ui/settings_dialog.cpp" line="80"/>
        <source>커서/선택</source>
        <translation>カーソル/選択</translation>
    </message>
    <message>
        <location filename="../src/ui/settings_dialog.cpp" line="86"/>
        <source>경로</source>
        <translation>パス</translation>
    </message>
    <message>
        <location filename="../src/ui/settings_dialog.cpp" line="87"/>
        <source>선택영역을 다른 톤으로 구별하여 나타내기</source>
        <translation>選択範囲を別のトーンで区別して表示</translation>
    </message>
    <message>
        <location filename="../src/ui/settings_dialog.cpp" line="90"/>
        <source>선택/경로</source>
        <translation>選択/パス</translation>
    </message>
    <message>
        <location filename="../src/ui/settings_dialog.cpp" line="101"/>
        <source>격자간격</source>
        <translation>グリッド間隔</translation>
    </message>
    <message>
        <location filename="../src/ui/settings_dialog.cpp" line="103"/>
        <source>격자표시</source>
        <translation>グリッド表示</translation>
    </message>
    <message>
        <location filename="../src/ui/settings_dialog.cpp" line="108"/>
        <source>업데이트 여부를 시작시에 인터넷으로 점검함</source>
        <translation>起動時にインターネットでアップデートを確認</translation>
    </message>
    <message>
        <location filename="../src/ui/settings_dialog.cpp" line="110"/>
        <source>프로그램 시작시 이미지 열기 창 보임</source>
        <translation>起動時に画像を開くウィンドウを表示</translation>
    </message>
    <message>
        <location filename="../src/ui/settings_dialog.cpp" line="112"/>
        <source>파라메터 초기화(전경· 배경색,붓굵기, 안개 ···)</source>
        <translation>パラメーター初期化(描画色・背景色、ブラシサイズ、霧 ···)</translation>
    </message>
    <message>
        <location filename="../src/ui/settings_dialog.cpp" line="117"/>
        <source>업데이트 주소</source>
        <translation>アップデートのアドレス</translation>
    </message>
    <message>
        <location filename="../src/ui/settings_dialog.cpp" line="129"/>
        <source>언어 (Language)</source>
        <translation>言語 (Language)</translation>
    </message>
    <message>
        <location filename="../src/ui/settings_dialog.cpp" line="132"/>
        <source>시스템 설정에 따름</source>
        <translation>システムの設定に従う</translation>
    </message>
    <message>
        <location filename="../src/ui/settings_dialog.cpp" line="139"/>
        <source>※언어는 프로그램을 다시 시작하면 바뀝니다.</source>
        <translation>※言語はプログラムを再起動すると切り替わります。</translation>
    </message>
    <message>
        <location filename="../src/ui/settings_dialog.cpp" line="142"/>
        <source>기 타</source>
        <translation>その他</translation>
    </message>
    <message>
        <location filename="../src/ui/tool_options.cpp" line="14"/>
        <source>값지정</source>
        <translation>値の指定</translation>
    </message>
    <message>
        <location filename="../src/ui/tool_options.cpp" line="39"/>
        <source>경계퍼짐</source>
        <translation>境界のぼかし</translation>
    </message>
    <message>
        <location filename="../src/tools/guide_path.h" line="27"/>
        <source>현재 완성된 경로를 제거하시겠습니까?</source>
        <translation>完成したパスを削除しますか?</translation>
    </message>
    <message>
        <location filename="../src/tools/guide_path.h" line="28"/>
        <source>경로 설정에 사용된 안내점이 너무 많습니다.</source>
        <translation>パスに使われているアンカーポイントが多すぎます。</translation>
    </message>
    <message>
        <location filename="../src/tools/guide_path.h" line="29"/>
        <source>안내 점이 더 필요합니다.</source>
        <translation>アンカーポイントがもっと必要です。</translation>
    </message>
    <message>
        <location filename="../src/tools/guide_path.h" line="30"/>
        <source>경로가 닫혀 있지 않습니다.</source>
        <translation>パスが閉じていません。</translation>
    </message>
    <message>
        <location filename="../src/tools/guide_path.h" line="31"/>
        <location filename="../src/image/doc.cpp" line="21"/>
        <source>Text레이어가 아닌 다른 레이어를 선택하시고 진행하십시요</source>
        <translation>Textレイヤー以外のレイヤーを選択してから実行してください</translation>
    </message>
    <message>
        <location filename="../src/tools/guide_path.h" line="32"/>
        <source>경로따라 선긋기</source>
        <translation>パスに沿って線を引く</translation>
    </message>
    <message>
        <location filename="../src/image/doc.cpp" line="38"/>
        <source>레이어병합</source>
        <translation>レイヤー結合</translation>
    </message>
    <message>
        <location filename="../src/image/doc.cpp" line="39"/>
        <source>떡그림</source>
        <translation>画像を統合</translation>
    </message>
    <message>
        <location filename="../src/image/doc.cpp" line="42"/>
        <source>복사물 붙이기</source>
        <translation>貼り付け</translation>
    </message>
    <message>
        <location filename="../src/image/doc.cpp" line="43"/>
        <source>자르기</source>
        <translation>切り取り</translation>
    </message>
    <message>
        <location filename="../src/image/doc.cpp" line="44"/>
        <source>선택영역 위치이동</source>
        <translation>選択範囲の移動</translation>
    </message>
    <message>
        <location filename="../src/image/doc.cpp" line="45"/>
        <source>레이어 위치 이동</source>
        <translation>レイヤーの移動</translation>
    </message>
    <message>
        <location filename="../src/processing/transform_commands.cpp" line="20"/>
        <source>레이어 수평제비회전</source>
        <translation>レイヤー左右反転</translation>
    </message>
    <message>
        <location filename="../src/processing/transform_commands.cpp" line="21"/>
        <source>레이어 수직제비회전</source>
        <translation>レイヤー上下反転</translation>
    </message>
    <message>
        <location filename="../src/processing/transform_commands.cpp" line="22"/>
        <source>거울변환</source>
        <translation>鏡像変換</translation>
    </message>
    <message>
        <location filename="../src/processing/transform_commands.cpp" line="24"/>
        <source>캔버스 90 우회전</source>
        <translation>カンバス90度右回転</translation>
    </message>
    <message>
        <location filename="../src/processing/transform_commands.cpp" line="25"/>
        <source>캔버스 90 좌회전</source>
        <translation>カンバス90度左回転</translation>
    </message>
    <message>
        <location filename="../src/processing/transform_commands.cpp" line="26"/>
        <source>캔버스 180 회전</source>
        <translation>カンバス180度回転</translation>
    </message>
    <message>
        <location filename="../src/processing/transform_commands.cpp" line="27"/>
        <source>레이어 90 우회전</source>
        <translation>レイヤー90度右回転</translation>
    </message>
    <message>
        <location filename="../src/processing/transform_commands.cpp" line="28"/>
        <source>레이어 90 좌회전</source>
        <translation>レイヤー90度左回転</translation>
    </message>
    <message>
        <location filename="../src/processing/transform_commands.cpp" line="29"/>
        <source>레이어 180 회전</source>
        <translation>レイヤー180度回転</translation>
    </message>
    <message>
        <location filename="../src/processing/transform_commands.cpp" line="35"/>
        <source>캔버스크기조정</source>
        <translation>カンバスサイズ調整</translation>
    </message>
    <message>
        <location filename="../src/measure/export.cpp" line="13"/>
        <source>파일(MicroMeasure.txt)이 저장되었습니다.</source>
        <translation>ファイル(MicroMeasure.txt)を保存しました。</translation>
    </message>
    <message>
        <location filename="../src/measure/export.cpp" line="14"/>
        <source>엑셀 파일을 저장할 수 없습니다.</source>
        <translation>Excelファイルを保存できません。</translation>
    </message>
    <message>
        <location filename="../src/measure/export.cpp" line="83"/>
        <source>항목</source>
        <translation>項目</translation>
    </message>
    <message>
        <location filename="../src/measure/export.cpp" line="83"/>
        <source>길이</source>
        <translation>長さ</translation>
    </message>
    <message>
        <location filename="../src/measure/export.cpp" line="83"/>
        <source>면적</source>
        <translation>面積</translation>
    </message>
    <message>
        <location filename="../src/measure/export.cpp" line="83"/>
        <source>각도</source>
        <translation>角度</translation>
    </message>
    <message>
        <location filename="../src/measure/export.cpp" line="83"/>
        <source>반지름</source>
        <translation>半径</translation>
    </message>
    <message>
        <location filename="../src/measure/export.cpp" line="83"/>
        <source>지름</source>
        <translation>直径</translation>
    </message>
    <message>
        <location filename="../src/measure/measure_commands.cpp" line="18"/>
        <source>[선택/수정] 버튼으로 대상을 정하고 실행하십시요</source>
        <translation>[選択/修正]ボタンで対象を決めてから実行してください</translation>
    </message>
    <message>
        <location filename="../src/measure/measure_commands.cpp" line="19"/>
        <source>제거할 개체를 먼저 선택하십시요</source>
        <translation>削除するオブジェクトを先に選択してください</translation>
    </message>
    <message>
        <location filename="../src/measure/measure_commands.cpp" line="21"/>
        <source>등록하려면 위 버튼을 클릭. 취소는 Esc.</source>
        <translation>登録するには上のボタンをクリック。キャンセルはEsc。</translation>
    </message>
    <message>
        <location filename="../src/measure/measure_commands.cpp" line="22"/>
        <source>측정 기준은 30개까지 저장할 수 있습니다. 쓰지 않는 기준을 삭제하십시요.</source>
        <translation>計測基準は30個まで保存できます。使わない基準を削除してください。</translation>
    </message>
    <message>
        <location filename="../src/measure/measure_commands.cpp" line="23"/>
        <source>측정 파일의 그림 크기나 색상 수가 현재 그림과 다릅니다.</source>
        <translation>計測ファイルの画像サイズまたは色数が現在の画像と異なります。</translation>
    </message>
    <message>
        <location filename="../src/measure/measure_commands.cpp" line="179"/>
        <source>(기준설정중) %d pixels</source>
        <translation>(基準設定中) %d pixels</translation>
    </message>
    <message>
        <location filename="../src/measure/sco_file.cpp" line="18"/>
        <source>측정 파일이 손상되었거나 형식이 다릅니다.</source>
        <translation>計測ファイルが破損しているか、形式が異なります。</translation>
    </message>
    <message>
        <location filename="../src/measure/sco_file.cpp" line="19"/>
        <source>측정 파일을 저장할 수 없습니다.</source>
        <translation>計測ファイルを保存できません。</translation>
    </message>
    <message>
        <location filename="../src/measure/objects.h" line="29"/>
        <source>곡선영역</source>
        <translation>曲線領域</translation>
    </message>
    <message>
        <location filename="../src/measure/objects.h" line="30"/>
        <source>글자</source>
        <translation>文字</translation>
    </message>
    <message>
        <location filename="../src/movie/avi_writer.h" line="38"/>
        <source>현재 파일은 사용중입니다. 출력파일명을 변경하십시요.</source>
        <translation>このファイルは使用中です。出力ファイル名を変更してください。</translation>
    </message>
    <message>
        <location filename="../src/movie/avi_writer.h" line="41"/>
        <source>무비작성에 필요한 코덱이 설치되어 있지 않습니다. 
<byte value="xd"/>상단의 [코덱 다운로드 및 설치] 버튼을 선택하십시요.</source>
        <translation>ムービー作成に必要なコーデックがインストールされていません。
<byte value="xd"/>上の[コーデックのダウンロードとインストール]ボタンを押してください。</translation>
    </message>
    <message>
        <location filename="../src/movie/avi_writer.h" line="42"/>
        <source>이미지와 코덱의 형식이 일치하지 않습니다.</source>
        <translation>画像とコーデックの形式が一致しません。</translation>
    </message>
    <message>
        <location filename="../src/movie/avi_writer.h" line="43"/>
        <source>무비 파일에 스트림 출력 문제로 진행이 불가합니다.</source>
        <translation>ムービーファイルへのストリーム出力に問題があるため続行できません。</translation>
    </message>
    <message>
        <location filename="../src/movie/avi_writer.h" line="44"/>
        <source>메모리 배정 문제로 진행이 불가합니다.</source>
        <translation>メモリを確保できないため続行できません。</translation>
    </message>
    <message>
        <location filename="../src/movie/movie_composer.h" line="79"/>
        <source>영상크기가 출력 무비의 크기보다 작거나 혹은 다른 이유로 제외됨</source>
        <translation>画像サイズが出力ムービーのサイズより小さいか、その他の理由で除外されました</translation>
    </message>
    <message>
        <location filename="../src/movie/movie_composer.h" line="80"/>
        <source>사진변환완료</source>
        <translation>写真の変換が完了しました</translation>
    </message>
    <message>
        <location filename="../src/image/doc.cpp" line="17"/>
        <source>레이어수 과다... 기존 레이어의 병합 혹은 제거하신 후에 다시 시도.</source>
        <translation>レイヤーが多すぎます... 既存のレイヤーを結合または削除してから再度お試しください。</translation>
    </message>
    <message>
        <location filename="../src/image/doc.cpp" line="18"/>
        <source>레이어가 1개 밖에 없습니다</source>
        <translation>レイヤーが1つしかありません</translation>
    </message>
    <message>
        <location filename="../src/image/doc.cpp" line="22"/>
        <source>두 레이어 중 적어도 하나가 글자레이어입니다.<byte value="xd"/>
레스터 변환 후에 병합하십시요.</source>
        <translation>2つのレイヤーの少なくとも一方が文字レイヤーです。<byte value="xd"/>
ラスタライズしてから結合してください。</translation>
    </message>
    <message>
        <location filename="../src/image/doc.cpp" line="23"/>
        <source>RGB영상만 지원합니다.</source>
        <translation>RGB画像のみ対応しています。</translation>
    </message>
    <message>
        <location filename="../src/image/doc.cpp" line="24"/>
        <source>그림파일명이 너무 깁니다.</source>
        <translation>画像ファイル名が長すぎます。</translation>
    </message>
    <message>
        <location filename="../src/image/doc.cpp" line="26"/>
        <source>해당파일이 존재하지 않습니다.</source>
        <translation>このファイルは存在しません。</translation>
    </message>
    <message>
        <location filename="../src/image/doc.cpp" line="27"/>
        <source>벡터형식이 아닌 레이어만 복사할 수 있습니다.</source>
        <translation>ベクター形式ではないレイヤーのみコピーできます。</translation>
    </message>
    <message>
        <location filename="../src/image/doc.cpp" line="28"/>
        <source>영역선택 후에 시도하십시요</source>
        <translation>範囲を選択してから実行してください</translation>
    </message>
    <message>
        <location filename="../src/image/doc.cpp" line="29"/>
        <source>변환을 성공하지 못했습니다.</source>
        <translation>変換に失敗しました。</translation>
    </message>
    <message>
        <location filename="../src/image/doc.cpp" line="30"/>
        <source>[%s] 파일을 저장하지 못했습니다.</source>
        <translation>[%s] ファイルを保存できませんでした。</translation>
    </message>
    <message>
        <location filename="../src/processing/doc_commands.h" line="34"/>
        <source>명도·대비 조절</source>
        <translation>明るさ・コントラスト調整</translation>
    </message>
    <message>
        <location filename="../src/processing/doc_commands.h" line="35"/>
        <source>색상조정</source>
        <translation>色調整</translation>
    </message>
    <message>
        <location filename="../src/processing/doc_commands.h" line="36"/>
        <source>자동 색상 조정</source>
        <translation>自動カラー調整</translation>
    </message>
    <message>
        <location filename="../src/processing/doc_commands.h" line="38"/>
        <source>그레이스케일 변환</source>
        <translation>グレースケール変換</translation>
    </message>
    <message>
        <location filename="../src/processing/doc_commands.h" line="40"/>
        <source>RGB 컬러영상으로 변환</source>
        <translation>RGBカラー画像に変換</translation>
    </message>
</context>
</TS>
