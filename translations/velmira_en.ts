<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ko">
<context>
    <name>velmira</name>
    <message>
        <location filename="../src/image/history.cpp" line="1079"/>
        <source>   0  (처음상태)</source>
        <translation>   0  (Initial state)</translation>
    </message>
    <message>
        <location filename="../src/image/history.cpp" line="1085"/>
        <source>%d 칼라</source>
        <translation>%d colours</translation>
    </message>
    <message>
        <location filename="../src/image/history.cpp" line="1087"/>
        <source>(처음영상)</source>
        <translation>(Original picture)</translation>
    </message>
    <message>
        <location filename="../src/image/layers.cpp" line="170"/>
        <source>레이어 </source>
        <translation>Layer </translation>
    </message>
    <message>
        <location filename="../src/image/frame_state.h" line="104"/>
        <location filename="../src/image/doc.cpp" line="1145"/>
        <source>이름없음</source>
        <translation>Untitled</translation>
    </message>
    <message>
        <location filename="../src/measure/objects.cpp" line="33"/>
        <source>항목의 최대 갯수는 %d 입니다. 더이상 추가가 어렵습니다.</source>
        <translation>At most %d items are allowed. No more can be added.</translation>
    </message>
    <message>
        <location filename="../src/online/online_commands.cpp" line="10"/>
        <source>스캔영상_%d</source>
        <translation>Scan_%d</translation>
    </message>
    <message>
        <location filename="../src/online/update_version.cpp" line="54"/>
        <source> 신버전  %d.%02d</source>
        <translation> New version  %d.%02d</translation>
    </message>
    <message>
        <location filename="../src/commands/decoration_commands.cpp" line="124"/>
        <location filename="../src/commands/decoration_commands.cpp" line="129"/>
        <location filename="../src/ui/dlg_text.cpp" line="208"/>
        <source>달력 넣기</source>
        <translation>Insert Calendar</translation>
    </message>
    <message>
        <location filename="../src/commands/decoration_commands.cpp" line="130"/>
        <location filename="../src/decorations/photo_frame.cpp" line="12"/>
        <location filename="../src/ui/decoration_menu.cpp" line="180"/>
        <source>사진틀 넣기</source>
        <translation>Insert Photo Frame</translation>
    </message>
    <message>
        <location filename="../src/commands/decoration_commands.cpp" line="135"/>
        <source>사진액자만들기</source>
        <translation>Make Photo Frame</translation>
    </message>
    <message>
        <location filename="../src/commands/edit_commands.cpp" line="44"/>
        <source>실행취소(&amp;Z)	Ctrl+Z</source>
        <translation>&amp;Undo	Ctrl+Z</translation>
    </message>
    <message>
        <location filename="../src/commands/edit_commands.cpp" line="48"/>
        <source>실행 취소</source>
        <translation>Undo</translation>
    </message>
    <message>
        <location filename="../src/commands/edit_commands.cpp" line="48"/>
        <source>실행취소	Ctrl+Z</source>
        <translation>Undo	Ctrl+Z</translation>
    </message>
    <message>
        <location filename="../src/commands/edit_commands.cpp" line="49"/>
        <source>실행반복(&amp;Y)	Ctrl+Y</source>
        <translation>&amp;Redo	Ctrl+Y</translation>
    </message>
    <message>
        <location filename="../src/commands/edit_commands.cpp" line="53"/>
        <source>다시 실행</source>
        <translation>Redo</translation>
    </message>
    <message>
        <location filename="../src/commands/edit_commands.cpp" line="53"/>
        <source>실행반복	Ctrl+Y</source>
        <translation>Redo	Ctrl+Y</translation>
    </message>
    <message>
        <location filename="../src/commands/edit_commands.cpp" line="54"/>
        <source>자르기(&amp;t)	Ctrl+X</source>
        <translation>Cu&amp;t	Ctrl+X</translation>
    </message>
    <message>
        <location filename="../src/commands/edit_commands.cpp" line="56"/>
        <source>복사(&amp;C)	Ctrl+C</source>
        <translation>&amp;Copy	Ctrl+C</translation>
    </message>
    <message>
        <location filename="../src/commands/edit_commands.cpp" line="58"/>
        <source>복사	Ctrl+C</source>
        <translation>Copy	Ctrl+C</translation>
    </message>
    <message>
        <location filename="../src/commands/edit_commands.cpp" line="58"/>
        <source>복사</source>
        <translation>Copy</translation>
    </message>
    <message>
        <location filename="../src/commands/edit_commands.cpp" line="60"/>
        <source>붙이기(&amp;P)	Ctrl+V</source>
        <translation>&amp;Paste	Ctrl+V</translation>
    </message>
    <message>
        <location filename="../src/commands/edit_commands.cpp" line="62"/>
        <source>붙이기	Ctrl+V</source>
        <translation>Paste	Ctrl+V</translation>
    </message>
    <message>
        <location filename="../src/commands/edit_commands.cpp" line="62"/>
        <source>붙이기</source>
        <translation>Paste</translation>
    </message>
    <message>
        <location filename="../src/commands/edit_commands.cpp" line="63"/>
        <source>잘라서새로만들기</source>
        <translation>Cut to New</translation>
    </message>
    <message>
        <location filename="../src/commands/edit_commands.cpp" line="65"/>
        <source>복사뒤 새로 만들기</source>
        <translation>Copy to New</translation>
    </message>
    <message>
        <location filename="../src/commands/file_commands.cpp" line="23"/>
        <source>새파일(&amp;N)	Ctrl+N</source>
        <translation>&amp;New	Ctrl+N</translation>
    </message>
    <message>
        <location filename="../src/commands/file_commands.cpp" line="24"/>
        <source>새 문서를 작성합니다</source>
        <translation>Creates a new document</translation>
    </message>
    <message>
        <location filename="../src/commands/file_commands.cpp" line="25"/>
        <source>열기(&amp;O)	Ctrl+O</source>
        <translation>&amp;Open	Ctrl+O</translation>
    </message>
    <message>
        <location filename="../src/commands/file_commands.cpp" line="26"/>
        <location filename="../src/ui/main_frame.cpp" line="68"/>
        <source>이미지 열기</source>
        <translation>Open Image</translation>
    </message>
    <message>
        <location filename="../src/commands/file_commands.cpp" line="27"/>
        <source>닫기(&amp;C)</source>
        <translation>&amp;Close</translation>
    </message>
    <message>
        <location filename="../src/commands/file_commands.cpp" line="28"/>
        <source>저장하기(&amp;S)	Ctrl+S</source>
        <translation>&amp;Save	Ctrl+S</translation>
    </message>
    <message>
        <location filename="../src/commands/file_commands.cpp" line="29"/>
        <location filename="../src/ui/main_frame.cpp" line="69"/>
        <source>이미지 저장</source>
        <translation>Save Image</translation>
    </message>
    <message>
        <location filename="../src/commands/file_commands.cpp" line="30"/>
        <source>새이름으로(&amp;A)	Ctrl+Shift+S</source>
        <translation>Save &amp;As	Ctrl+Shift+S</translation>
    </message>
    <message>
        <location filename="../src/commands/file_commands.cpp" line="33"/>
        <location filename="../src/online/online_commands.h" line="17"/>
        <source>외부장치 선택...</source>
        <translation>Select Source...</translation>
    </message>
    <message>
        <location filename="../src/commands/file_commands.cpp" line="34"/>
        <location filename="../src/online/online_commands.h" line="18"/>
        <source>외부영상 입력 </source>
        <translation>Acquire Image </translation>
    </message>
    <message>
        <location filename="../src/commands/file_commands.cpp" line="34"/>
        <source>외부장치로 부터 읽어들임</source>
        <translation>Reads from a scanner or camera</translation>
    </message>
    <message>
        <location filename="../src/commands/file_commands.cpp" line="35"/>
        <source>인쇄(&amp;P)    	Ctrl+P</source>
        <translation>&amp;Print    	Ctrl+P</translation>
    </message>
    <message>
        <location filename="../src/commands/file_commands.cpp" line="37"/>
        <source>프린터지정(R)</source>
        <translation>Printer Setup(R)</translation>
    </message>
    <message>
        <location filename="../src/commands/file_commands.cpp" line="38"/>
        <location filename="../src/ui/settings_dialog.cpp" line="31"/>
        <source>환경설정</source>
        <translation>Preferences</translation>
    </message>
    <message>
        <location filename="../src/commands/file_commands.cpp" line="39"/>
        <source>종료(&amp;x)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <location filename="../src/commands/file_commands.cpp" line="48"/>
        <source>복제</source>
        <translation>Duplicate</translation>
    </message>
    <message>
        <location filename="../src/commands/file_commands.cpp" line="51"/>
        <source>새창(&amp;N)</source>
        <translation>&amp;New Window</translation>
    </message>
    <message>
        <location filename="../src/commands/file_commands.cpp" line="52"/>
        <source>계단식(&amp;C)</source>
        <translation>&amp;Cascade</translation>
    </message>
    <message>
        <location filename="../src/commands/file_commands.cpp" line="53"/>
        <source>타일(&amp;T)</source>
        <translation>&amp;Tile</translation>
    </message>
    <message>
        <location filename="../src/commands/file_commands.cpp" line="54"/>
        <source>모두닫기</source>
        <translation>Close All</translation>
    </message>
    <message>
        <location filename="../src/commands/file_commands.cpp" line="56"/>
        <source>'Velmira'에 관하여(&amp;A)...</source>
        <translation>&amp;About 'Velmira'...</translation>
    </message>
    <message>
        <location filename="../src/commands/file_commands.cpp" line="57"/>
        <source>'Velmira' 웹사이트 연결</source>
        <translation>Visit the 'Velmira' Website</translation>
    </message>
    <message>
        <location filename="../src/commands/file_commands.cpp" line="57"/>
        <source>Velmira 웹사이트</source>
        <translation>Velmira Website</translation>
    </message>
    <message>
        <location filename="../src/commands/file_commands.cpp" line="59"/>
        <source>전경색</source>
        <translation>Foreground Colour</translation>
    </message>
    <message>
        <location filename="../src/commands/file_commands.cpp" line="60"/>
        <source>전경,배경색 교환</source>
        <translation>Swap Foreground and Background</translation>
    </message>
    <message>
        <location filename="../src/commands/file_commands.cpp" line="61"/>
        <source>배경색</source>
        <translation>Background Colour</translation>
    </message>
    <message>
        <location filename="../src/commands/file_commands.cpp" line="62"/>
        <source>붓굵기</source>
        <translation>Brush Size</translation>
    </message>
    <message>
        <location filename="../src/commands/filter_commands.cpp" line="43"/>
        <location filename="../src/commands/filter_commands.cpp" line="69"/>
        <location filename="../src/processing/filter_table.cpp" line="14"/>
        <location filename="../src/processing/filter_table.cpp" line="42"/>
        <source>강조</source>
        <translation>Sharpen</translation>
    </message>
    <message>
        <location filename="../src/commands/filter_commands.cpp" line="44"/>
        <location filename="../src/processing/filter_table.cpp" line="16"/>
        <location filename="../src/processing/filter_table.cpp" line="40"/>
        <source>흐리게</source>
        <translation>Blur</translation>
    </message>
    <message>
        <location filename="../src/commands/filter_commands.cpp" line="45"/>
        <location filename="../src/processing/filter_table.cpp" line="18"/>
        <location filename="../src/processing/filter_table.cpp" line="38"/>
        <source>물체축소</source>
        <translation>Shrink Objects</translation>
    </message>
    <message>
        <location filename="../src/commands/filter_commands.cpp" line="46"/>
        <location filename="../src/processing/filter_table.cpp" line="19"/>
        <location filename="../src/processing/filter_table.cpp" line="39"/>
        <source>물체확장</source>
        <translation>Grow Objects</translation>
    </message>
    <message>
        <location filename="../src/commands/filter_commands.cpp" line="47"/>
        <location filename="../src/processing/filter_table.cpp" line="17"/>
        <location filename="../src/processing/filter_table.cpp" line="41"/>
        <location filename="../src/processing/filter_table.cpp" line="48"/>
        <source>부드럽게</source>
        <translation>Soften</translation>
    </message>
    <message>
        <location filename="../src/commands/filter_commands.cpp" line="48"/>
        <location filename="../src/processing/filter_table.cpp" line="15"/>
        <location filename="../src/processing/filter_table.cpp" line="43"/>
        <source>윤곽선</source>
        <translation>Outline</translation>
    </message>
    <message>
        <location filename="../src/commands/filter_commands.cpp" line="49"/>
        <location filename="../src/processing/filter_table.cpp" line="20"/>
        <location filename="../src/processing/filter_table.cpp" line="45"/>
        <source>찍어붙이기</source>
        <translation>Stamp</translation>
    </message>
    <message>
        <location filename="../src/commands/filter_commands.cpp" line="51"/>
        <location filename="../src/processing/filter_table.cpp" line="21"/>
        <location filename="../src/processing/filter_table.cpp" line="46"/>
        <source>색종이뿌리기</source>
        <translation>Confetti</translation>
    </message>
    <message>
        <location filename="../src/commands/filter_commands.cpp" line="53"/>
        <location filename="../src/processing/filter_table.cpp" line="22"/>
        <location filename="../src/processing/filter_table.cpp" line="47"/>
        <source>선효과채색</source>
        <translation>Line Colouring</translation>
    </message>
    <message>
        <location filename="../src/commands/filter_commands.cpp" line="55"/>
        <location filename="../src/processing/filter_table.cpp" line="23"/>
        <location filename="../src/processing/filter_table.cpp" line="48"/>
        <source>수채화</source>
        <translation>Watercolour</translation>
    </message>
    <message>
        <location filename="../src/commands/filter_commands.cpp" line="57"/>
        <location filename="../src/processing/filter_table.cpp" line="27"/>
        <location filename="../src/processing/filter_table.cpp" line="52"/>
        <source>잡영제거</source>
        <translation>Remove Noise</translation>
    </message>
    <message>
        <location filename="../src/commands/filter_commands.cpp" line="58"/>
        <location filename="../src/processing/filter_table.cpp" line="13"/>
        <location filename="../src/processing/filter_table.cpp" line="53"/>
        <source>경계강조</source>
        <translation>Edge Emphasis</translation>
    </message>
    <message>
        <location filename="../src/commands/filter_commands.cpp" line="59"/>
        <location filename="../src/processing/filter_table.cpp" line="28"/>
        <location filename="../src/processing/filter_table.cpp" line="54"/>
        <source>영역확장</source>
        <translation>Region Fill</translation>
    </message>
    <message>
        <location filename="../src/commands/filter_commands.cpp" line="60"/>
        <location filename="../src/processing/filter_table.cpp" line="29"/>
        <location filename="../src/processing/filter_table.cpp" line="55"/>
        <source>방울채색</source>
        <translation>Colour Drops</translation>
    </message>
    <message>
        <location filename="../src/commands/filter_commands.cpp" line="61"/>
        <location filename="../src/processing/filter_table.cpp" line="30"/>
        <location filename="../src/processing/filter_table.cpp" line="56"/>
        <source>유화</source>
        <translation>Oil Painting</translation>
    </message>
    <message>
        <location filename="../src/commands/filter_commands.cpp" line="63"/>
        <location filename="../src/processing/filter_table.cpp" line="24"/>
        <location filename="../src/processing/filter_table.cpp" line="49"/>
        <source>한지효과</source>
        <translation>Korean Paper</translation>
    </message>
    <message>
        <location filename="../src/commands/filter_commands.cpp" line="64"/>
        <location filename="../src/processing/filter_table.cpp" line="25"/>
        <location filename="../src/processing/filter_table.cpp" line="50"/>
        <source>빗방울</source>
        <translation>Raindrops</translation>
    </message>
    <message>
        <location filename="../src/commands/filter_commands.cpp" line="65"/>
        <location filename="../src/processing/filter_table.cpp" line="26"/>
        <location filename="../src/processing/filter_table.cpp" line="51"/>
        <source>유리성에</source>
        <translation>Frosted Glass</translation>
    </message>
    <message>
        <location filename="../src/commands/filter_commands.cpp" line="66"/>
        <location filename="../src/processing/filter_table.cpp" line="32"/>
        <location filename="../src/processing/filter_table.cpp" line="57"/>
        <source>달마시안</source>
        <translation>Dalmatian</translation>
    </message>
    <message>
        <location filename="../src/commands/filter_commands.cpp" line="67"/>
        <location filename="../src/processing/filter_table.cpp" line="31"/>
        <location filename="../src/processing/filter_table.cpp" line="44"/>
        <source>엠보스</source>
        <translation>Emboss</translation>
    </message>
    <message>
        <location filename="../src/commands/filter_commands.cpp" line="70"/>
        <location filename="../src/processing/filter_table.cpp" line="33"/>
        <location filename="../src/processing/filter_table.cpp" line="58"/>
        <source>렌즈효과</source>
        <translation>Lens</translation>
    </message>
    <message>
        <location filename="../src/commands/filter_commands.cpp" line="71"/>
        <location filename="../src/processing/filter_table.cpp" line="34"/>
        <source>욕실효과</source>
        <translation>Bathroom Glass</translation>
    </message>
    <message>
        <location filename="../src/commands/filter_commands.cpp" line="94"/>
        <location filename="../src/commands/filter_commands.cpp" line="95"/>
        <source>필터링설정</source>
        <translation>Filter Settings</translation>
    </message>
    <message>
        <location filename="../src/commands/guide_commands.cpp" line="51"/>
        <location filename="../src/commands/guide_commands.cpp" line="52"/>
        <location filename="../src/ui/anchor_line.cpp" line="48"/>
        <source>경로설정</source>
        <translation>Paths</translation>
    </message>
    <message>
        <location filename="../src/commands/guide_commands.cpp" line="53"/>
        <location filename="../src/ui/anchor_line.cpp" line="29"/>
        <source>경로 만들기</source>
        <translation>Make Path</translation>
    </message>
    <message>
        <location filename="../src/commands/guide_commands.cpp" line="54"/>
        <location filename="../src/ui/anchor_line.cpp" line="30"/>
        <source>안내점 수정</source>
        <translation>Edit Anchor</translation>
    </message>
    <message>
        <location filename="../src/commands/guide_commands.cpp" line="55"/>
        <location filename="../src/ui/anchor_line.cpp" line="31"/>
        <source>안내점 추가</source>
        <translation>Add Anchor</translation>
    </message>
    <message>
        <location filename="../src/commands/guide_commands.cpp" line="56"/>
        <location filename="../src/ui/anchor_line.cpp" line="32"/>
        <source>안내점 제거</source>
        <translation>Remove Anchor</translation>
    </message>
    <message>
        <location filename="../src/commands/guide_commands.cpp" line="59"/>
        <location filename="../src/ui/anchor_line.cpp" line="33"/>
        <source>영역선택</source>
        <translation>Select Area</translation>
    </message>
    <message>
        <location filename="../src/commands/guide_commands.cpp" line="62"/>
        <location filename="../src/ui/anchor_line.cpp" line="34"/>
        <source>선긋기</source>
        <translation>Stroke</translation>
    </message>
    <message>
        <location filename="../src/commands/image_commands.cpp" line="94"/>
        <location filename="../src/commands/image_commands.cpp" line="97"/>
        <source>명도·대비</source>
        <translation>Brightness·Contrast</translation>
    </message>
    <message>
        <location filename="../src/commands/image_commands.cpp" line="98"/>
        <location filename="../src/ui/dlg_adjust.cpp" line="135"/>
        <source>RGB색상조정</source>
        <translation>RGB Colour Adjust</translation>
    </message>
    <message>
        <location filename="../src/commands/image_commands.cpp" line="101"/>
        <source>색조정</source>
        <translation>Colour Adjust</translation>
    </message>
    <message>
        <location filename="../src/commands/image_commands.cpp" line="102"/>
        <location filename="../src/ui/dlg_adjust.cpp" line="281"/>
        <source>픽셀분포조정</source>
        <translation>Levels</translation>
    </message>
    <message>
        <location filename="../src/commands/image_commands.cpp" line="106"/>
        <source>자동색상조정</source>
        <translation>Auto Colour</translation>
    </message>
    <message>
        <location filename="../src/commands/image_commands.cpp" line="109"/>
        <location filename="../src/processing/doc_commands.h" line="37"/>
        <source>반전변환</source>
        <translation>Invert</translation>
    </message>
    <message>
        <location filename="../src/commands/image_commands.cpp" line="111"/>
        <location filename="../src/processing/doc_commands.h" line="39"/>
        <source>레이어 채도 감소</source>
        <translation>Desaturate Layer</translation>
    </message>
    <message>
        <location filename="../src/commands/image_commands.cpp" line="114"/>
        <source>그레이스케일 표현</source>
        <translation>Greyscale</translation>
    </message>
    <message>
        <location filename="../src/commands/image_commands.cpp" line="117"/>
        <source>RGB컬러 표현</source>
        <translation>RGB Colour</translation>
    </message>
    <message>
        <location filename="../src/commands/image_commands.cpp" line="120"/>
        <source>이진영상 으로</source>
        <translation>To Black and White</translation>
    </message>
    <message>
        <location filename="../src/commands/image_commands.cpp" line="124"/>
        <source>8 비트 컬러 표현</source>
        <translation>8-bit Colour</translation>
    </message>
    <message>
        <location filename="../src/commands/image_commands.cpp" line="138"/>
        <location filename="../src/ui/dlg_channels.cpp" line="22"/>
        <source>RGB구분</source>
        <translation>Split RGB</translation>
    </message>
    <message>
        <location filename="../src/commands/image_commands.cpp" line="139"/>
        <source>YUV구분</source>
        <translation>Split YUV</translation>
    </message>
    <message>
        <location filename="../src/commands/image_commands.cpp" line="143"/>
        <source>HSL구분</source>
        <translation>Split HSL</translation>
    </message>
    <message>
        <location filename="../src/commands/layer_commands.cpp" line="84"/>
        <location filename="../src/tools/tool_router.cpp" line="15"/>
        <source>전체영상 위치이동</source>
        <translation>Move Whole Picture</translation>
    </message>
    <message>
        <location filename="../src/commands/layer_commands.cpp" line="129"/>
        <location filename="../src/ui/layer_panel.cpp" line="139"/>
        <location filename="../src/image/doc.cpp" line="35"/>
        <source>레이어추가</source>
        <translation>Add Layer</translation>
    </message>
    <message>
        <location filename="../src/commands/layer_commands.cpp" line="131"/>
        <source>레이어 추가</source>
        <translation>Add layer</translation>
    </message>
    <message>
        <location filename="../src/commands/layer_commands.cpp" line="132"/>
        <location filename="../src/ui/layer_panel.cpp" line="140"/>
        <location filename="../src/image/doc.cpp" line="36"/>
        <source>레이어삭제</source>
        <translation>Delete Layer</translation>
    </message>
    <message>
        <location filename="../src/commands/layer_commands.cpp" line="137"/>
        <source>레이어 삭제</source>
        <translation>Delete layer</translation>
    </message>
    <message>
        <location filename="../src/commands/layer_commands.cpp" line="138"/>
        <location filename="../src/ui/layer_panel.cpp" line="141"/>
        <location filename="../src/image/doc.cpp" line="37"/>
        <source>복제 레이어 만들기</source>
        <translation>Duplicate Layer</translation>
    </message>
    <message>
        <location filename="../src/commands/layer_commands.cpp" line="140"/>
        <source>레이어 복제</source>
        <translation>Duplicate layer</translation>
    </message>
    <message>
        <location filename="../src/commands/layer_commands.cpp" line="141"/>
        <location filename="../src/ui/layer_panel.cpp" line="145"/>
        <source>떡그림만들기</source>
        <translation>Flatten Image</translation>
    </message>
    <message>
        <location filename="../src/commands/layer_commands.cpp" line="143"/>
        <source>떡영상 만들기</source>
        <translation>Flatten picture</translation>
    </message>
    <message>
        <location filename="../src/commands/layer_commands.cpp" line="143"/>
        <source>떡 이미지 만들기</source>
        <translation>Flatten image</translation>
    </message>
    <message>
        <location filename="../src/commands/layer_commands.cpp" line="145"/>
        <location filename="../src/ui/layer_panel.cpp" line="142"/>
        <source>아래쪽 레이어로  합치기</source>
        <translation>Merge Down</translation>
    </message>
    <message>
        <location filename="../src/commands/layer_commands.cpp" line="148"/>
        <location filename="../src/ui/layer_panel.cpp" line="143"/>
        <source>위쪽 레이어로 합치기</source>
        <translation>Merge Up</translation>
    </message>
    <message>
        <location filename="../src/commands/layer_commands.cpp" line="151"/>
        <location filename="../src/ui/layer_panel.cpp" line="146"/>
        <location filename="../src/image/doc.cpp" line="41"/>
        <source>레스터 형식으로 변환</source>
        <translation>Rasterize</translation>
    </message>
    <message>
        <location filename="../src/commands/layer_commands.cpp" line="153"/>
        <source>레스터 만들기</source>
        <translation>Rasterize layer</translation>
    </message>
    <message>
        <location filename="../src/commands/layer_commands.cpp" line="154"/>
        <location filename="../src/commands/layer_commands.cpp" line="156"/>
        <location filename="../src/ui/layer_panel.cpp" line="144"/>
        <location filename="../src/image/doc.cpp" line="40"/>
        <source>레이어 이름 변경</source>
        <translation>Rename Layer</translation>
    </message>
    <message>
        <location filename="../src/commands/measure_area.cpp" line="82"/>
        <source>측정</source>
        <translation>Measure</translation>
    </message>
    <message>
        <location filename="../src/commands/measure_area.cpp" line="88"/>
        <source>측정 도구창</source>
        <translation>Measuring Tools</translation>
    </message>
    <message>
        <location filename="../src/commands/measure_area.cpp" line="93"/>
        <location filename="../src/ui/measure_menu.cpp" line="173"/>
        <location filename="../src/measure/objects.h" line="21"/>
        <source>점표시</source>
        <translation>Point</translation>
    </message>
    <message>
        <location filename="../src/commands/measure_area.cpp" line="94"/>
        <location filename="../src/ui/measure_menu.cpp" line="173"/>
        <source>선택/수정</source>
        <translation>Select/Edit</translation>
    </message>
    <message>
        <location filename="../src/commands/measure_area.cpp" line="95"/>
        <location filename="../src/commands/paint_commands.cpp" line="120"/>
        <location filename="../src/ui/measure_menu.cpp" line="174"/>
        <location filename="../src/measure/objects.h" line="22"/>
        <source>선분</source>
        <translation>Segment</translation>
    </message>
    <message>
        <location filename="../src/commands/measure_area.cpp" line="96"/>
        <location filename="../src/ui/measure_menu.cpp" line="174"/>
        <source>평행선분</source>
        <translation>Parallel Segment</translation>
    </message>
    <message>
        <location filename="../src/commands/measure_area.cpp" line="97"/>
        <location filename="../src/ui/measure_menu.cpp" line="175"/>
        <location filename="../src/measure/objects.h" line="25"/>
        <source>사각형</source>
        <translation>Rectangle</translation>
    </message>
    <message>
        <location filename="../src/commands/measure_area.cpp" line="98"/>
        <location filename="../src/ui/measure_menu.cpp" line="175"/>
        <location filename="../src/measure/objects.h" line="23"/>
        <source>원</source>
        <translation>Circle</translation>
    </message>
    <message>
        <location filename="../src/commands/measure_area.cpp" line="99"/>
        <location filename="../src/ui/measure_menu.cpp" line="176"/>
        <location filename="../src/measure/objects.h" line="24"/>
        <source>사이각</source>
        <translation>Angle</translation>
    </message>
    <message>
        <location filename="../src/commands/measure_area.cpp" line="100"/>
        <location filename="../src/ui/measure_menu.cpp" line="176"/>
        <source>기준선 거리</source>
        <translation>Distance from Baseline</translation>
    </message>
    <message>
        <location filename="../src/commands/measure_area.cpp" line="101"/>
        <location filename="../src/commands/paint_commands.cpp" line="122"/>
        <location filename="../src/ui/measure_menu.cpp" line="177"/>
        <location filename="../src/measure/objects.h" line="26"/>
        <source>다각선</source>
        <translation>Polyline</translation>
    </message>
    <message>
        <location filename="../src/commands/measure_area.cpp" line="102"/>
        <location filename="../src/ui/measure_menu.cpp" line="177"/>
        <location filename="../src/measure/objects.h" line="27"/>
        <source>다각형</source>
        <translation>Polygon</translation>
    </message>
    <message>
        <location filename="../src/commands/measure_area.cpp" line="103"/>
        <location filename="../src/ui/measure_menu.cpp" line="178"/>
        <source>다각형 점추가</source>
        <translation>Add Polygon Point</translation>
    </message>
    <message>
        <location filename="../src/commands/measure_area.cpp" line="104"/>
        <location filename="../src/ui/measure_menu.cpp" line="178"/>
        <source>다각형 점제거</source>
        <translation>Remove Polygon Point</translation>
    </message>
    <message>
        <location filename="../src/commands/measure_area.cpp" line="105"/>
        <location filename="../src/ui/measure_menu.cpp" line="179"/>
        <location filename="../src/measure/objects.h" line="28"/>
        <source>곡선</source>
        <translation>Curve</translation>
    </message>
    <message>
        <location filename="../src/commands/measure_area.cpp" line="106"/>
        <location filename="../src/ui/measure_menu.cpp" line="179"/>
        <source>곡선 등록</source>
        <translation>Register Curve</translation>
    </message>
    <message>
        <location filename="../src/commands/measure_area.cpp" line="112"/>
        <location filename="../src/ui/measure_menu.cpp" line="180"/>
        <source>벡터 편집 취소</source>
        <translation>Undo Vector Edit</translation>
    </message>
    <message>
        <location filename="../src/commands/measure_area.cpp" line="119"/>
        <location filename="../src/ui/measure_menu.cpp" line="180"/>
        <source>벡터 편집 반복</source>
        <translation>Redo Vector Edit</translation>
    </message>
    <message>
        <location filename="../src/commands/measure_area.cpp" line="126"/>
        <location filename="../src/ui/measure_menu.cpp" line="181"/>
        <source>개체 제거</source>
        <translation>Remove Object</translation>
    </message>
    <message>
        <location filename="../src/commands/measure_area.cpp" line="130"/>
        <source>측정벡터 다시그리기</source>
        <translation>Redraw Measurement Vectors</translation>
    </message>
    <message>
        <location filename="../src/commands/measure_area.cpp" line="136"/>
        <location filename="../src/ui/measure_menu.cpp" line="181"/>
        <source>벡터 연속 측정 해제</source>
        <translation>End Continuous Measuring</translation>
    </message>
    <message>
        <location filename="../src/commands/measure_area.cpp" line="142"/>
        <source>측정 기준...</source>
        <translation>Calibration...</translation>
    </message>
    <message>
        <location filename="../src/commands/measure_area.cpp" line="143"/>
        <location filename="../src/ui/measure_menu.cpp" line="421"/>
        <location filename="../src/ui/measure_menu.cpp" line="182"/>
        <source>분석 환경 설정</source>
        <translation>Analysis Settings</translation>
    </message>
    <message>
        <location filename="../src/commands/measure_area.cpp" line="144"/>
        <source>엑셀로 변환...</source>
        <translation>Export to Excel...</translation>
    </message>
    <message>
        <location filename="../src/commands/measure_area.cpp" line="145"/>
        <source>측정 파일 저장...</source>
        <translation>Save Measurements...</translation>
    </message>
    <message>
        <location filename="../src/commands/measure_area.cpp" line="146"/>
        <source>측정 파일 열기...</source>
        <translation>Open Measurements...</translation>
    </message>
    <message>
        <location filename="../src/commands/measure_area.cpp" line="148"/>
        <location filename="../src/ui/layer_panel.cpp" line="148"/>
        <location filename="../src/measure/measure_commands.cpp" line="27"/>
        <source>벡터측정레이어추가</source>
        <translation>Add Vector Measuring Layer</translation>
    </message>
    <message>
        <location filename="../src/commands/paint_commands.cpp" line="19"/>
        <location filename="../src/tools/fill_tools.cpp" line="14"/>
        <source>클릭이 아닌 드래깅으로 기준선을 먼저 잡으세요</source>
        <translation>Drag, rather than click, to set the baseline first</translation>
    </message>
    <message>
        <location filename="../src/commands/paint_commands.cpp" line="69"/>
        <location filename="../src/commands/paint_commands.cpp" line="125"/>
        <location filename="../src/tools/fill_tools.cpp" line="84"/>
        <source>채우기</source>
        <translation>Fill</translation>
    </message>
    <message>
        <location filename="../src/commands/paint_commands.cpp" line="87"/>
        <location filename="../src/commands/paint_commands.cpp" line="126"/>
        <location filename="../src/tools/fill_tools.cpp" line="13"/>
        <location filename="../src/ui/tool_menu.cpp" line="133"/>
        <source>그라디언트</source>
        <translation>Gradient</translation>
    </message>
    <message>
        <location filename="../src/commands/paint_commands.cpp" line="99"/>
        <location filename="../src/tools/paint_tools.cpp" line="189"/>
        <source>붓그리기</source>
        <translation>Brush</translation>
    </message>
    <message>
        <location filename="../src/commands/paint_commands.cpp" line="118"/>
        <location filename="../src/tools/paint_tools.cpp" line="194"/>
        <source>물방울</source>
        <translation>Water Drop</translation>
    </message>
    <message>
        <location filename="../src/commands/paint_commands.cpp" line="118"/>
        <location filename="../src/tools/paint_tools.cpp" line="195"/>
        <source>물방울 효과</source>
        <translation>Water drop effect</translation>
    </message>
    <message>
        <location filename="../src/commands/paint_commands.cpp" line="119"/>
        <source>붓 그리기</source>
        <translation>Paint with Brush</translation>
    </message>
    <message>
        <location filename="../src/commands/paint_commands.cpp" line="119"/>
        <source>붓으로 그리기</source>
        <translation>Paints with the brush</translation>
    </message>
    <message>
        <location filename="../src/commands/paint_commands.cpp" line="120"/>
        <location filename="../src/tools/paint_tools.cpp" line="200"/>
        <source>선그리기</source>
        <translation>Draw Line</translation>
    </message>
    <message>
        <location filename="../src/commands/paint_commands.cpp" line="121"/>
        <location filename="../src/tools/paint_tools.cpp" line="203"/>
        <source>원 그리기</source>
        <translation>Draw Circle</translation>
    </message>
    <message>
        <location filename="../src/commands/paint_commands.cpp" line="123"/>
        <location filename="../src/tools/paint_tools.cpp" line="187"/>
        <source>스프레이</source>
        <translation>Spray</translation>
    </message>
    <message>
        <location filename="../src/commands/paint_commands.cpp" line="124"/>
        <source>지우개</source>
        <translation>Eraser</translation>
    </message>
    <message>
        <location filename="../src/commands/paint_commands.cpp" line="127"/>
        <location filename="../src/tools/text_layer.cpp" line="13"/>
        <location filename="../src/ui/dlg_text.cpp" line="55"/>
        <source>글자입력</source>
        <translation>Type Text</translation>
    </message>
    <message>
        <location filename="../src/commands/paint_commands.cpp" line="128"/>
        <source>픽셀값 추출</source>
        <translation>Pick Colour</translation>
    </message>
    <message>
        <location filename="../src/commands/selection_commands.cpp" line="63"/>
        <source>이동</source>
        <translation>Move</translation>
    </message>
    <message>
        <location filename="../src/commands/selection_commands.cpp" line="63"/>
        <source>이동(레스터형식)</source>
        <translation>Move (Raster)</translation>
    </message>
    <message>
        <location filename="../src/commands/selection_commands.cpp" line="64"/>
        <location filename="../src/tools/selection_tools.cpp" line="340"/>
        <source>사각선택</source>
        <translation>Rectangle Select</translation>
    </message>
    <message>
        <location filename="../src/commands/selection_commands.cpp" line="64"/>
        <source>마우스드래깅으로 사각영역을 지정함</source>
        <translation>Marks a rectangle by dragging the mouse</translation>
    </message>
    <message>
        <location filename="../src/commands/selection_commands.cpp" line="65"/>
        <source>다각형선택</source>
        <translation>Polygon Select</translation>
    </message>
    <message>
        <location filename="../src/commands/selection_commands.cpp" line="65"/>
        <source>다각형 형태의 영역 지정</source>
        <translation>Marks a polygon-shaped area</translation>
    </message>
    <message>
        <location filename="../src/commands/selection_commands.cpp" line="66"/>
        <source>자유선택</source>
        <translation>Freehand Select</translation>
    </message>
    <message>
        <location filename="../src/commands/selection_commands.cpp" line="66"/>
        <source>마우스 이동 경로가 만드는 영역을 선택함</source>
        <translation>Selects the area the mouse path encloses</translation>
    </message>
    <message>
        <location filename="../src/commands/selection_commands.cpp" line="67"/>
        <source>자동선택</source>
        <translation>Magic Wand</translation>
    </message>
    <message>
        <location filename="../src/commands/selection_commands.cpp" line="67"/>
        <source>클릭지점과 같은 색상의 영역을 자동으로 선택</source>
        <translation>Selects the area of the clicked colour automatically</translation>
    </message>
    <message>
        <location filename="../src/commands/selection_commands.cpp" line="69"/>
        <source>색상범위지정 선택</source>
        <translation>Select by Colour Range</translation>
    </message>
    <message>
        <location filename="../src/commands/selection_commands.cpp" line="71"/>
        <source>선택반전</source>
        <translation>Invert Selection</translation>
    </message>
    <message>
        <location filename="../src/commands/selection_commands.cpp" line="73"/>
        <source>선택/명령 해제	Ctrl+D</source>
        <translation>Deselect/Cancel	Ctrl+D</translation>
    </message>
    <message>
        <location filename="../src/commands/selection_commands.cpp" line="74"/>
        <source>영역/명령 선택을 해제함</source>
        <translation>Clears the selection or the command in progress</translation>
    </message>
    <message>
        <location filename="../src/commands/selection_commands.cpp" line="74"/>
        <source>선택/명령 해제</source>
        <translation>Deselect/Cancel</translation>
    </message>
    <message>
        <location filename="../src/commands/surfaces.cpp" line="12"/>
        <source>파일(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <location filename="../src/commands/surfaces.cpp" line="12"/>
        <source>편집(&amp;E)</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <location filename="../src/commands/surfaces.cpp" line="12"/>
        <source>그리기</source>
        <translation>Draw</translation>
    </message>
    <message>
        <location filename="../src/commands/surfaces.cpp" line="13"/>
        <source>영상(&amp;I)</source>
        <translation>&amp;Image</translation>
    </message>
    <message>
        <location filename="../src/commands/surfaces.cpp" line="13"/>
        <source>필터링(&amp;F)</source>
        <translation>&amp;Filters</translation>
    </message>
    <message>
        <location filename="../src/commands/surfaces.cpp" line="13"/>
        <source>레이어(&amp;L)</source>
        <translation>&amp;Layer</translation>
    </message>
    <message>
        <location filename="../src/commands/surfaces.cpp" line="14"/>
        <source>영역선택(&amp;S)</source>
        <translation>&amp;Select</translation>
    </message>
    <message>
        <location filename="../src/commands/surfaces.cpp" line="14"/>
        <source>변형 및 꾸미기</source>
        <translation>Transform &amp;&amp; Decorate</translation>
    </message>
    <message>
        <location filename="../src/commands/surfaces.cpp" line="14"/>
        <source>보기(&amp;V)</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <location filename="../src/commands/surfaces.cpp" line="15"/>
        <source>동영상</source>
        <translation>Movie</translation>
    </message>
    <message>
        <location filename="../src/commands/surfaces.cpp" line="15"/>
        <source>윈도우(&amp;W)</source>
        <translation>&amp;Window</translation>
    </message>
    <message>
        <location filename="../src/commands/surfaces.cpp" line="15"/>
        <source>도움말(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <location filename="../src/commands/surfaces.cpp" line="18"/>
        <source>레이어 회전..</source>
        <translation>Rotate Layer..</translation>
    </message>
    <message>
        <location filename="../src/commands/surfaces.cpp" line="19"/>
        <source>캔버스 회전</source>
        <translation>Rotate Canvas</translation>
    </message>
    <message>
        <location filename="../src/commands/surfaces.cpp" line="20"/>
        <source>자유 변형</source>
        <translation>Free Transform</translation>
    </message>
    <message>
        <location filename="../src/commands/surfaces.cpp" line="24"/>
        <location filename="../src/ui/decoration_menu.cpp" line="45"/>
        <location filename="../src/ui/dlg_scan.cpp" line="115"/>
        <location filename="../src/ui/dlg_text.cpp" line="243"/>
        <location filename="../src/ui/decoration_menu.cpp" line="283"/>
        <location filename="../src/ui/tool_menu.cpp" line="141"/>
        <source>색상</source>
        <translation>Colour</translation>
    </message>
    <message>
        <location filename="../src/commands/surfaces.cpp" line="25"/>
        <source>편집</source>
        <translation>Edit</translation>
    </message>
    <message>
        <location filename="../src/commands/surfaces.cpp" line="26"/>
        <source>꾸미기</source>
        <translation>Decorate</translation>
    </message>
    <message>
        <location filename="../src/commands/transform_area.cpp" line="105"/>
        <location filename="../src/ui/dlg_transform.cpp" line="60"/>
        <source>그림크기조정</source>
        <translation>Picture Size</translation>
    </message>
    <message>
        <location filename="../src/commands/transform_area.cpp" line="108"/>
        <location filename="../src/processing/transform_commands.cpp" line="34"/>
        <source>이미지크기</source>
        <translation>Image Size</translation>
    </message>
    <message>
        <location filename="../src/commands/transform_area.cpp" line="109"/>
        <location filename="../src/commands/transform_area.cpp" line="111"/>
        <location filename="../src/processing/transform_commands.cpp" line="30"/>
        <source>자유회전</source>
        <translation>Free Rotate</translation>
    </message>
    <message>
        <location filename="../src/commands/transform_area.cpp" line="118"/>
        <source>90   시계방향</source>
        <translation>90   Clockwise</translation>
    </message>
    <message>
        <location filename="../src/commands/transform_area.cpp" line="119"/>
        <source>90   반시계방향</source>
        <translation>90   Anticlockwise</translation>
    </message>
    <message>
        <location filename="../src/commands/transform_area.cpp" line="120"/>
        <location filename="../src/commands/transform_area.cpp" line="123"/>
        <source>180  회전</source>
        <translation>180  Rotate</translation>
    </message>
    <message>
        <location filename="../src/commands/transform_area.cpp" line="121"/>
        <source> 90  시계방향</source>
        <translation> 90  Clockwise</translation>
    </message>
    <message>
        <location filename="../src/commands/transform_area.cpp" line="122"/>
        <source> 90  반시계방향</source>
        <translation> 90  Anticlockwise</translation>
    </message>
    <message>
        <location filename="../src/commands/transform_area.cpp" line="132"/>
        <location filename="../src/commands/transform_area.cpp" line="138"/>
        <location filename="../src/processing/transform_commands.cpp" line="19"/>
        <source>수직제비회전</source>
        <translation>Flip Vertical</translation>
    </message>
    <message>
        <location filename="../src/commands/transform_area.cpp" line="135"/>
        <location filename="../src/commands/transform_area.cpp" line="142"/>
        <location filename="../src/processing/transform_commands.cpp" line="18"/>
        <source>수평제비회전</source>
        <translation>Flip Horizontal</translation>
    </message>
    <message>
        <location filename="../src/commands/transform_area.cpp" line="161"/>
        <location filename="../src/processing/filter_table.cpp" line="50"/>
        <location filename="../src/ui/dlg_text.cpp" line="242"/>
        <location filename="../src/ui/dlg_text.cpp" line="83"/>
        <location filename="../src/processing/transform_commands.cpp" line="31"/>
        <source>크기</source>
        <translation>Scale</translation>
    </message>
    <message>
        <location filename="../src/commands/transform_area.cpp" line="162"/>
        <source>자유변형 크기</source>
        <translation>Free Transform Scale</translation>
    </message>
    <message>
        <location filename="../src/commands/transform_area.cpp" line="163"/>
        <location filename="../src/processing/transform_commands.cpp" line="32"/>
        <source>뒤틀림</source>
        <translation>Skew</translation>
    </message>
    <message>
        <location filename="../src/commands/transform_area.cpp" line="164"/>
        <source>자유변형</source>
        <translation>Free Transform</translation>
    </message>
    <message>
        <location filename="../src/commands/transform_area.cpp" line="165"/>
        <location filename="../src/processing/transform_commands.cpp" line="33"/>
        <source>원근감</source>
        <translation>Perspective</translation>
    </message>
    <message>
        <location filename="../src/commands/transform_area.cpp" line="174"/>
        <location filename="../src/ui/dlg_transform.cpp" line="127"/>
        <source>캔버스 크기 늘리기</source>
        <translation>Enlarge Canvas</translation>
    </message>
    <message>
        <location filename="../src/commands/transform_area.cpp" line="177"/>
        <source>캔버스 크기 조정</source>
        <translation>Canvas Size</translation>
    </message>
    <message>
        <location filename="../src/commands/transform_area.cpp" line="178"/>
        <location filename="../src/commands/transform_area.cpp" line="179"/>
        <location filename="../src/ui/face_trans.cpp" line="25"/>
        <source>늘리고쭈구리기</source>
        <translation>Stretch and Squeeze</translation>
    </message>
    <message>
        <location filename="../src/commands/transform_area.cpp" line="180"/>
        <location filename="../src/ui/dlg_transform.cpp" line="234"/>
        <source>레이어효과</source>
        <translation>Layer Effect</translation>
    </message>
    <message>
        <location filename="../src/commands/transform_area.cpp" line="183"/>
        <source>레이어 효과</source>
        <translation>Layer effect</translation>
    </message>
    <message>
        <location filename="../src/commands/view_commands.cpp" line="13"/>
        <source>레이어.작업내역보기(&amp;L)</source>
        <translation>&amp;Layers / History</translation>
    </message>
    <message>
        <location filename="../src/commands/view_commands.cpp" line="13"/>
        <source>레이어보기창</source>
        <translation>Layers window</translation>
    </message>
    <message>
        <location filename="../src/commands/view_commands.cpp" line="14"/>
        <location filename="../src/ui/quick_edit.cpp" line="21"/>
        <source>포토 간편 편집 창</source>
        <translation>Quick Photo Edit</translation>
    </message>
    <message>
        <location filename="../src/commands/view_commands.cpp" line="14"/>
        <source>디카편집창</source>
        <translation>Photo edit window</translation>
    </message>
    <message>
        <location filename="../src/commands/view_commands.cpp" line="15"/>
        <source>늘여보기(&amp;e)</source>
        <translation>Zoo&amp;m</translation>
    </message>
    <message>
        <location filename="../src/commands/view_commands.cpp" line="16"/>
        <source>확대	 Ctrl + + </source>
        <translation>Zoom In	 Ctrl + + </translation>
    </message>
    <message>
        <location filename="../src/commands/view_commands.cpp" line="17"/>
        <source>화면 확대</source>
        <translation>Zoom in</translation>
    </message>
    <message>
        <location filename="../src/commands/view_commands.cpp" line="17"/>
        <source>확대	Ctrl++</source>
        <translation>Zoom In	Ctrl++</translation>
    </message>
    <message>
        <location filename="../src/commands/view_commands.cpp" line="19"/>
        <source>축소	Ctrl + -</source>
        <translation>Zoom Out	Ctrl + -</translation>
    </message>
    <message>
        <location filename="../src/commands/view_commands.cpp" line="20"/>
        <source>화면 축소</source>
        <translation>Zoom out</translation>
    </message>
    <message>
        <location filename="../src/commands/view_commands.cpp" line="20"/>
        <source>축소	Ctrl--</source>
        <translation>Zoom Out	Ctrl--</translation>
    </message>
    <message>
        <location filename="../src/commands/view_commands.cpp" line="22"/>
        <source>(1:1)보기 	Ctrl + 1</source>
        <translation>Actual Size (1:1) 	Ctrl + 1</translation>
    </message>
    <message>
        <location filename="../src/commands/view_commands.cpp" line="23"/>
        <source>화면 보기를 1:1 로</source>
        <translation>Shows the picture at 1:1</translation>
    </message>
    <message>
        <location filename="../src/commands/view_commands.cpp" line="24"/>
        <location filename="../src/ui/settings_dialog.cpp" line="95"/>
        <source>격자보기</source>
        <translation>Show Grid</translation>
    </message>
    <message>
        <location filename="../src/commands/view_commands.cpp" line="27"/>
        <source>무비만들기 </source>
        <translation>Make Movie </translation>
    </message>
    <message>
        <location filename="../src/commands/view_commands.cpp" line="27"/>
        <source>동영상 만들기</source>
        <translation>Make a movie</translation>
    </message>
    <message>
        <location filename="../src/decorations/calendar.cpp" line="12"/>
        <source>[달력]</source>
        <translation>[Calendar]</translation>
    </message>
    <message>
        <location filename="../src/decorations/calendar.cpp" line="177"/>
        <source> [달력]%2d월</source>
        <translation> [Calendar] month %2d</translation>
    </message>
    <message>
        <location filename="../src/formats/format_dispatch.cpp" line="38"/>
        <source>모든그림형식</source>
        <translation>All picture formats</translation>
    </message>
    <message>
        <location filename="../src/formats/vlm.cpp" line="26"/>
        <source>VLM 형식의 버전이 상이함</source>
        <translation>The VLM file is of another version</translation>
    </message>
    <message>
        <location filename="../src/formats/vlm.cpp" line="27"/>
        <source>VLM 파일이 손상되어 열 수 없습니다.</source>
        <translation>The VLM file is damaged and cannot be opened.</translation>
    </message>
    <message>
        <location filename="../src/formats/vlm.cpp" line="28"/>
        <source>파일을 저장하지 못했습니다. 기존 파일은 그대로 남아 있습니다.</source>
        <translation>The file could not be saved. The old file is left as it was.</translation>
    </message>
    <message>
        <location filename="../src/formats/vlm.cpp" line="437"/>
        <location filename="../src/ui/main_frame.cpp" line="67"/>
        <location filename="../src/image/doc.cpp" line="25"/>
        <source>해당 파일을 열 수 없습니다.</source>
        <translation>The file cannot be opened.</translation>
    </message>
    <message>
        <location filename="../src/image/history.cpp" line="26"/>
        <source>작업내역을 임시폴더에 기록하지 못했습니다. (디스크 공간 부족 또는 임시폴더 없음)<byte value="xd"/>
작업 결과는 그대로 남지만 이 단계는 실행취소할 수 없습니다.</source>
        <translation>The history could not be written to the temporary folder (disk full or no temporary folder).<byte value="xd"/>
The result stays, but this step cannot be undone.</translation>
    </message>
    <message>
        <location filename="../src/image/history.cpp" line="29"/>
        <source>작업내역 파일을 읽을 수 없습니다. (임시폴더의 파일이 지워졌거나 손상됨)<byte value="xd"/>
그림은 바뀌지 않았습니다.</source>
        <translation>A history file cannot be read (the temporary folder's file was removed or damaged).<byte value="xd"/>
The picture has not changed.</translation>
    </message>
    <message>
        <location filename="../src/image/history.cpp" line="1032"/>
        <source>REDO : 언두리스트(Top %d)</source>
        <translation>REDO : undo list (Top %d)</translation>
    </message>
    <message>
        <location filename="../src/processing/effects.cpp" line="10"/>
        <source>레이어효과(그림자)</source>
        <translation>Layer Effect (Shadow)</translation>
    </message>
    <message>
        <location filename="../src/processing/filter_table.cpp" line="10"/>
        <source>미지정</source>
        <translation>Unused</translation>
    </message>
    <message>
        <location filename="../src/processing/filter_table.cpp" line="38"/>
        <source>축소허용</source>
        <translation>Shrink allowance</translation>
    </message>
    <message>
        <location filename="../src/processing/filter_table.cpp" line="39"/>
        <location filename="../src/processing/filter_table.cpp" line="54"/>
        <source>확장허용</source>
        <translation>Grow allowance</translation>
    </message>
    <message>
        <location filename="../src/processing/filter_table.cpp" line="40"/>
        <source>흐림</source>
        <translation>Blur</translation>
    </message>
    <message>
        <location filename="../src/processing/filter_table.cpp" line="41"/>
        <source>부드러움</source>
        <translation>Softness</translation>
    </message>
    <message>
        <location filename="../src/processing/filter_table.cpp" line="43"/>
        <location filename="../src/processing/filter_table.cpp" line="44"/>
        <source>추출정도</source>
        <translation>Extraction</translation>
    </message>
    <message>
        <location filename="../src/processing/filter_table.cpp" line="43"/>
        <location filename="../src/processing/filter_table.cpp" line="44"/>
        <source>음영표현</source>
        <translation>Shading</translation>
    </message>
    <message>
        <location filename="../src/processing/filter_table.cpp" line="45"/>
        <location filename="../src/processing/filter_table.cpp" line="46"/>
        <source>윤곽정도</source>
        <translation>Outline</translation>
    </message>
    <message>
        <location filename="../src/processing/filter_table.cpp" line="45"/>
        <location filename="../src/processing/filter_table.cpp" line="46"/>
        <location filename="../src/processing/filter_table.cpp" line="47"/>
        <source>선분길이</source>
        <translation>Stroke length</translation>
    </message>
    <message>
        <location filename="../src/processing/filter_table.cpp" line="45"/>
        <location filename="../src/processing/filter_table.cpp" line="46"/>
        <source>색상표현</source>
        <translation>Colour</translation>
    </message>
    <message>
        <location filename="../src/processing/filter_table.cpp" line="47"/>
        <source>반복</source>
        <translation>Repeats</translation>
    </message>
    <message>
        <location filename="../src/processing/filter_table.cpp" line="48"/>
        <source>붓크기</source>
        <translation>Brush size</translation>
    </message>
    <message>
        <location filename="../src/processing/filter_table.cpp" line="49"/>
        <location filename="../src/processing/filter_table.cpp" line="51"/>
        <source>흐림정도</source>
        <translation>Blur amount</translation>
    </message>
    <message>
        <location filename="../src/processing/filter_table.cpp" line="50"/>
        <location filename="../src/processing/filter_table.cpp" line="57"/>
        <source>빈도</source>
        <translation>Frequency</translation>
    </message>
    <message>
        <location filename="../src/processing/filter_table.cpp" line="52"/>
        <source>잡영크기</source>
        <translation>Speck size</translation>
    </message>
    <message>
        <location filename="../src/processing/filter_table.cpp" line="52"/>
        <source>흡수정도</source>
        <translation>Absorption</translation>
    </message>
    <message>
        <location filename="../src/processing/filter_table.cpp" line="53"/>
        <source>테두리양</source>
        <translation>Edge width</translation>
    </message>
    <message>
        <location filename="../src/processing/filter_table.cpp" line="53"/>
        <source>표시강도</source>
        <translation>Strength</translation>
    </message>
    <message>
        <location filename="../src/processing/filter_table.cpp" line="55"/>
        <source>방울크기</source>
        <translation>Drop size</translation>
    </message>
    <message>
        <location filename="../src/processing/filter_table.cpp" line="55"/>
        <source>윤곽선표시</source>
        <translation>Outline</translation>
    </message>
    <message>
        <location filename="../src/processing/filter_table.cpp" line="56"/>
        <source>붓길이</source>
        <translation>Stroke length</translation>
    </message>
    <message>
        <location filename="../src/processing/filter_table.cpp" line="56"/>
        <source>세밀함</source>
        <translation>Detail</translation>
    </message>
    <message>
        <location filename="../src/processing/filter_table.cpp" line="57"/>
        <source>무뉘</source>
        <translation>Pattern</translation>
    </message>
    <message>
        <location filename="../src/processing/filter_table.cpp" line="61"/>
        <source>조정 1</source>
        <translation>Adjust 1</translation>
    </message>
    <message>
        <location filename="../src/processing/filter_table.cpp" line="61"/>
        <source>조정 2</source>
        <translation>Adjust 2</translation>
    </message>
    <message>
        <location filename="../src/processing/filter_table.cpp" line="64"/>
        <location filename="../src/processing/filter_table.cpp" line="65"/>
        <source>농도조절</source>
        <translation>Density</translation>
    </message>
    <message>
        <location filename="../src/processing/filter_table.cpp" line="66"/>
        <source>이진임계치</source>
        <translation>Threshold</translation>
    </message>
    <message>
        <location filename="../src/processing/transform_commands.cpp" line="11"/>
        <source>자유변형은 줌 100% 상태에서 동작함</source>
        <translation>Free transform works at 100% zoom only</translation>
    </message>
    <message>
        <location filename="../src/processing/transform_commands.cpp" line="12"/>
        <location filename="../src/image/doc.cpp" line="20"/>
        <source>[글]레이어가 포함되어 있습니다. [레스터 형식 변환] 후 다시 실행하십시요.</source>
        <translation>The picture contains a [Text] layer. Run [Rasterize] first, then try again.</translation>
    </message>
    <message>
        <location filename="../src/processing/transform_commands.cpp" line="13"/>
        <source>[글]레이어 입니다. [레스터 형식 변환] 후 다시 실행하십시요.</source>
        <translation>This is a [Text] layer. Run [Rasterize] first, then try again.</translation>
    </message>
    <message>
        <location filename="../src/processing/transform_commands.cpp" line="39"/>
        <location filename="../src/ui/dlg_adjust.cpp" line="28"/>
        <location filename="../src/image/doc.cpp" line="19"/>
        <source>현재는 [Text:글] 레이어. 
<byte value="xd"/>레이어창에서 다른 레이어 선택</source>
        <translation>The current layer is a [Text] layer. 
<byte value="xd"/>Choose another layer in the Layers window</translation>
    </message>
    <message>
        <location filename="../src/tools/fill_tools.cpp" line="84"/>
        <source>빈영역채우기</source>
        <translation>Fill Empty Area</translation>
    </message>
    <message>
        <location filename="../src/tools/fill_tools.cpp" line="84"/>
        <location filename="../src/tools/selection_tools.cpp" line="348"/>
        <source>포함한계치</source>
        <translation>Tolerance</translation>
    </message>
    <message>
        <location filename="../src/tools/paint_tools.cpp" line="190"/>
        <source>점찍기</source>
        <translation>Dot</translation>
    </message>
    <message>
        <location filename="../src/tools/paint_tools.cpp" line="195"/>
        <source>퍼짐정도</source>
        <translation>Spread</translation>
    </message>
    <message>
        <location filename="../src/tools/paint_tools.cpp" line="197"/>
        <source>영역지우기</source>
        <translation>Erase Area</translation>
    </message>
    <message>
        <location filename="../src/tools/paint_tools.cpp" line="202"/>
        <source>다각형그리기</source>
        <translation>Draw Polygon</translation>
    </message>
    <message>
        <location filename="../src/tools/paint_tools.cpp" line="205"/>
        <location filename="../src/ui/tool_menu.cpp" line="216"/>
        <source>색상추출</source>
        <translation>Pick Colour</translation>
    </message>
    <message>
        <location filename="../src/tools/selection_tools.cpp" line="335"/>
        <source>인접한 유사영역 탐색지정</source>
        <translation>Select similar neighbouring area</translation>
    </message>
    <message>
        <location filename="../src/tools/selection_tools.cpp" line="339"/>
        <source>영역지정</source>
        <translation>Marking area</translation>
    </message>
    <message>
        <location filename="../src/tools/text_layer.cpp" line="14"/>
        <source>글자수정</source>
        <translation>Edit Text</translation>
    </message>
    <message>
        <location filename="../src/ui/anchor_line.cpp" line="35"/>
        <location filename="../src/ui/measure_menu.cpp" line="499"/>
        <location filename="../src/ui/face_trans.cpp" line="87"/>
        <location filename="../src/ui/tool_menu.cpp" line="146"/>
        <source>닫기</source>
        <translation>Close</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="38"/>
        <source>이미지쇼 변환</source>
        <translation>Image Show to Movie</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="39"/>
        <source>[Movie 만들기]</source>
        <translation>[Make a Movie]</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="40"/>
        <source>이미지 추가...</source>
        <translation>Add Images...</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="41"/>
        <source>한줄 지움</source>
        <translation>Remove Line</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="42"/>
        <source>전체 비움</source>
        <translation>Clear All</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="43"/>
        <source>이미지 리스트 전체를 제거하시겠습니까?</source>
        <translation>Remove the whole image list?</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="44"/>
        <source>위쪽으로</source>
        <translation>Up</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="45"/>
        <source>아래쪽으로</source>
        <translation>Down</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="46"/>
        <source>왼쪽으로</source>
        <translation>Left</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="47"/>
        <source>오른쪽으로</source>
        <translation>Right</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="48"/>
        <source>줌인/아웃</source>
        <translation>Zoom In/Out</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="49"/>
        <source>정지/전환없음</source>
        <translation>Still/No Transition</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="50"/>
        <source>줌 지점 지정</source>
        <translation>Set Zoom Point</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="51"/>
        <source>먼저 [프레임] 혹은 [연결] 리스트의 라인을 클릭</source>
        <translation>First click a line in the [Frames] or [Links] list</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="52"/>
        <source>먼저 [프레임] 리스트의 라인을 클릭</source>
        <translation>First click a line in the [Frames] list</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="53"/>
        <source>프레임이 'z' 모드가 아님</source>
        <translation>The frame is not in 'z' mode</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="54"/>
        <source>출력 파일명 지정</source>
        <translation>Output File...</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="55"/>
        <source>무비 만들기</source>
        <translation>Make Movie</translation>
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
        <translation>Cancel</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="57"/>
        <source>코덱 다운로드 및 설치</source>
        <translation>Download and Install Codecs</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="58"/>
        <source>파일작업폴더 : %1</source>
        <translation>Working folder : %1</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="59"/>
        <source>느림  프레임   빠름</source>
        <translation>Slow  Frame   Fast</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="60"/>
        <source>느림   전환    빠름</source>
        <translation>Slow   Transition    Fast</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="61"/>
        <source>재생 파일 선택</source>
        <translation>Choose Movie File</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="62"/>
        <source>재생</source>
        <translation>Play</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="63"/>
        <source>일시정지</source>
        <translation>Pause</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="64"/>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="72"/>
        <source>정지</source>
        <translation>Stop</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="65"/>
        <source> 닫 기 </source>
        <translation> Close </translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="66"/>
        <source>준비</source>
        <translation>Ready</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="67"/>
        <source>로딩...</source>
        <translation>Loading...</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="68"/>
        <source>정지됨</source>
        <translation>Stopped</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="69"/>
        <source>비디오파일명이 올바르지 않습니다.</source>
        <translation>The video file name is not valid.</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="73"/>
        <source>z 줌인/아웃</source>
        <translation>z Zoom In/Out</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="74"/>
        <source>전환패닝없음</source>
        <translation>No transition or pan</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="80"/>
        <source>패닝 </source>
        <translation>Pan </translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_scan.cpp" line="27"/>
        <source>컬러</source>
        <translation>Colour</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_scan.cpp" line="28"/>
        <source>회색조</source>
        <translation>Greyscale</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_scan.cpp" line="29"/>
        <source>흑백</source>
        <translation>Black and white</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_scan.cpp" line="34"/>
        <source>평판</source>
        <translation>Flatbed</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_scan.cpp" line="35"/>
        <source>자동 급지(ADF)</source>
        <translation>Document feeder (ADF)</translation>
    </message>
    <message>
        <location filename="../src/ui/face_trans.cpp" line="228"/>
        <location filename="../src/processing/transform_commands.cpp" line="36"/>
        <source>터치변형</source>
        <translation>Touch Warp</translation>
    </message>
    <message>
        <location filename="../src/ui/layer_panel.cpp" line="32"/>
        <source>레이어.작업내역</source>
        <translation>Layers / History</translation>
    </message>
    <message>
        <location filename="../src/ui/layer_panel.cpp" line="33"/>
        <source>(Undo) 뒤로 회복</source>
        <translation>(Undo) Step back</translation>
    </message>
    <message>
        <location filename="../src/ui/layer_panel.cpp" line="34"/>
        <source>(Redo) 앞으로 회복</source>
        <translation>(Redo) Step forward</translation>
    </message>
    <message>
        <location filename="../src/ui/layer_panel.cpp" line="46"/>
        <source>보통</source>
        <translation>Normal</translation>
    </message>
    <message>
        <location filename="../src/ui/layer_panel.cpp" line="46"/>
        <source>곱셈혼합</source>
        <translation>Multiply</translation>
    </message>
    <message>
        <location filename="../src/ui/layer_panel.cpp" line="46"/>
        <source>화면혼합</source>
        <translation>Screen</translation>
    </message>
    <message>
        <location filename="../src/ui/layer_panel.cpp" line="47"/>
        <source>어두운혼합</source>
        <translation>Darken</translation>
    </message>
    <message>
        <location filename="../src/ui/layer_panel.cpp" line="47"/>
        <source>밝은혼합</source>
        <translation>Lighten</translation>
    </message>
    <message>
        <location filename="../src/ui/layer_panel.cpp" line="47"/>
        <source>차이혼합</source>
        <translation>Difference</translation>
    </message>
    <message>
        <location filename="../src/ui/layer_panel.cpp" line="48"/>
        <source>역차이혼합</source>
        <translation>Negation</translation>
    </message>
    <message>
        <location filename="../src/ui/layer_panel.cpp" line="48"/>
        <source>제외혼합</source>
        <translation>Exclusion</translation>
    </message>
    <message>
        <location filename="../src/ui/layer_panel.cpp" line="48"/>
        <source>오버레이혼합</source>
        <translation>Overlay</translation>
    </message>
    <message>
        <location filename="../src/ui/main_frame.cpp" line="65"/>
        <source>[%1] 파일을 저장하시겠습니까?</source>
        <translation>Save the file [%1]?</translation>
    </message>
    <message>
        <location filename="../src/ui/main_frame.cpp" line="66"/>
        <source>[%1] 파일이 이미 있습니다.
바꾸시겠습니까?</source>
        <translation>The file [%1] already exists.
Replace it?</translation>
    </message>
    <message>
        <location filename="../src/ui/main_frame.cpp" line="70"/>
        <source>  전경색의 지정</source>
        <translation>  Foreground Colour</translation>
    </message>
    <message>
        <location filename="../src/ui/main_frame.cpp" line="71"/>
        <source>  배경색의 지정</source>
        <translation>  Background Colour</translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="38"/>
        <source>기준 x, y는 0 이상의 정수, 실제 길이는 0보다 큰 수로 입력하십시요.</source>
        <translation>Enter whole numbers of 0 or more for the reference x and y, and a real length greater than 0.</translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="39"/>
        <source>측정 기준 파일을 저장할 수 없습니다.</source>
        <translation>The calibration file cannot be saved.</translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="40"/>
        <source>파일(Micro.xlsx)이 저장되었습니다.</source>
        <translation>The file (Micro.xlsx) has been saved.</translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="62"/>
        <source>측정 파일 (*.sco)</source>
        <translation>Measurement files (*.sco)</translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="150"/>
        <source>측정 파일 저장</source>
        <translation>Save Measurements</translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="156"/>
        <source>측정 파일 열기</source>
        <translation>Open Measurements</translation>
    </message>
    <message>
        <location filename="../src/ui/recovery_offer.cpp" line="12"/>
        <source>비정상 종료된 작업을 복구할 수 없어 건너뜁니다.</source>
        <translation>Work left by an abnormal exit cannot be recovered and is skipped.</translation>
    </message>
    <message>
        <location filename="../src/ui/settings_dialog.cpp" line="32"/>
        <source>컬러지정</source>
        <translation>Choose Colour</translation>
    </message>
    <message>
        <location filename="../src/ui/settings_dialog.cpp" line="33"/>
        <source>※프로그램을 재시작하면 적용됩니다.</source>
        <translation>※Takes effect when the program is restarted.</translation>
    </message>
    <message>
        <location filename="../src/ui/settings_dialog.cpp" line="37"/>
        <source>십자형</source>
        <translation>Crosshair</translation>
    </message>
    <message>
        <location filename="../src/ui/settings_dialog.cpp" line="37"/>
        <source>화살표</source>
        <translation>Arrow</translation>
    </message>
    <message>
        <location filename="../src/ui/settings_dialog.cpp" line="37"/>
        <source>위쪽 화살표</source>
        <translation>Up arrow</translation>
    </message>
    <message>
        <location filename="../src/ui/settings_dialog.cpp" line="37"/>
        <source>점</source>
        <translation>Dot</translation>
    </message>
    <message>
        <location filename="../src/ui/settings_dialog.cpp" line="37"/>
        <source>글자 커서</source>
        <translation>Text cursor</translation>
    </message>
    <message>
        <location filename="../src/ui/settings_dialog.cpp" line="38"/>
        <source>가로줄</source>
        <translation>Horizontal</translation>
    </message>
    <message>
        <location filename="../src/ui/settings_dialog.cpp" line="38"/>
        <source>세로줄</source>
        <translation>Vertical</translation>
    </message>
    <message>
        <location filename="../src/ui/settings_dialog.cpp" line="38"/>
        <source>사선(\)</source>
        <translation>Diagonal (\)</translation>
    </message>
    <message>
        <location filename="../src/ui/settings_dialog.cpp" line="38"/>
        <source>사선(/)</source>
        <translation>Diagonal (/)</translation>
    </message>
    <message>
        <location filename="../src/ui/settings_dialog.cpp" line="38"/>
        <location filename="../src/ui/settings_dialog.cpp" line="102"/>
        <source>격자</source>
        <translation>Grid</translation>
    </message>
    <message>
        <location filename="../src/ui/settings_dialog.cpp" line="38"/>
        <source>사선 격자</source>
        <translation>Diagonal grid</translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="430"/>
        <source>측정값 표시</source>
        <translation>Show measurements</translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="444"/>
        <location filename="../src/ui/measure_menu.cpp" line="262"/>
        <source>단위</source>
        <translation>Unit</translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="445"/>
        <source>소수점 자리</source>
        <translation>Decimal places</translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="447"/>
        <location filename="../src/ui/dlg_text.cpp" line="240"/>
        <location filename="../src/ui/dlg_text.cpp" line="81"/>
        <source>글꼴</source>
        <translation>Font</translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="448"/>
        <source>글자 크기</source>
        <translation>Font size</translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="449"/>
        <location filename="../src/ui/dlg_text.cpp" line="78"/>
        <source>글자색</source>
        <translation>Text colour</translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="449"/>
        <source>선 색</source>
        <translation>Line colour</translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="449"/>
        <source>강조 선 색</source>
        <translation>Highlight line colour</translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="460"/>
        <source>선 굵기</source>
        <translation>Line width</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_adjust.cpp" line="106"/>
        <source>명도·대비 조정</source>
        <translation>Brightness·Contrast</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_adjust.cpp" line="109"/>
        <source>명도</source>
        <translation>Brightness</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_adjust.cpp" line="109"/>
        <source>대비</source>
        <translation>Contrast</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_scan.cpp" line="102"/>
        <source>외부영상 입력 - %1</source>
        <translation>Acquire Image - %1</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_scan.cpp" line="111"/>
        <source>급지</source>
        <translation>Paper source</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_scan.cpp" line="122"/>
        <location filename="../src/ui/dlg_scan.cpp" line="128"/>
        <source>해상도(dpi)</source>
        <translation>Resolution (dpi)</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_scan.cpp" line="132"/>
        <source>읽을 영역(픽셀)</source>
        <translation>Area to read (pixels)</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_scan.cpp" line="133"/>
        <source>읽을 영역(mm)</source>
        <translation>Area to read (mm)</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_scan.cpp" line="136"/>
        <source>왼쪽</source>
        <translation>Left</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_scan.cpp" line="136"/>
        <source>위</source>
        <translation>Top</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_scan.cpp" line="136"/>
        <source>오른쪽</source>
        <translation>Right</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_scan.cpp" line="136"/>
        <source>아래</source>
        <translation>Bottom</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_scan.cpp" line="145"/>
        <source>전체 영역</source>
        <translation>Whole area</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_scan.cpp" line="164"/>
        <source>미리보기 없음</source>
        <translation>No preview</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_scan.cpp" line="166"/>
        <source>미리보기</source>
        <translation>Preview</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_scan.cpp" line="172"/>
        <source>읽어들이기</source>
        <translation>Acquire</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_scan.cpp" line="201"/>
        <source>미리보기를 읽을 수 없습니다.</source>
        <translation>The preview cannot be read.</translation>
    </message>
    <message>
        <location filename="../src/ui/anchor_line.cpp" line="67"/>
        <source>선긋기 길이(%)</source>
        <translation>Stroke length (%)</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_text.cpp" line="225"/>
        <source>색</source>
        <translation>Colour</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_text.cpp" line="238"/>
        <source>년</source>
        <translation>Year</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_text.cpp" line="239"/>
        <source>월</source>
        <translation>Month</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_text.cpp" line="241"/>
        <location filename="../src/ui/dlg_text.cpp" line="89"/>
        <source>스타일</source>
        <translation>Style</translation>
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
        <translation>Images</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="143"/>
        <source>프레임</source>
        <translation>Frames</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="144"/>
        <source>연결</source>
        <translation>Links</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="185"/>
        <source>줌 지점 X</source>
        <translation>Zoom point X</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="194"/>
        <source>왼쪽에서부터의 비율</source>
        <translation>Fraction from the left</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="195"/>
        <source>아래쪽에서부터의 비율</source>
        <translation>Fraction from the bottom</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="204"/>
        <source>프레임 크기</source>
        <translation>Frame size</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="248"/>
        <source>플레이어</source>
        <translation>Player</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="451"/>
        <source>취소됨</source>
        <translation>Cancelled</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="452"/>
        <source>무비 작성 실패</source>
        <translation>Making the movie failed</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="453"/>
        <source>작성된 프레임 없음</source>
        <translation>No frames were made</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_movie_maker.cpp" line="467"/>
        <source>무비 (*.avi *.mpg *.mpeg *.wmv *.mp4 *.mkv *.mov *.bmp);;*.*</source>
        <translation>Movies (*.avi *.mpg *.mpeg *.wmv *.mp4 *.mkv *.mov *.bmp);;*.*</translation>
    </message>
    <message>
        <location filename="../src/ui/decoration_menu.cpp" line="217"/>
        <source>틀의 두께</source>
        <translation>Frame width</translation>
    </message>
    <message>
        <location filename="../src/ui/recovery_offer.cpp" line="18"/>
        <source>제목없음</source>
        <translation>Untitled</translation>
    </message>
    <message>
        <location filename="../src/ui/recovery_offer.cpp" line="19"/>
        <source>프로그램이 비정상 종료되어 저장하지 않은 작업이 남아 있습니다.

%1</source>
        <translation>The program ended abnormally and left unsaved work.

%1</translation>
    </message>
    <message>
        <location filename="../src/ui/recovery_offer.cpp" line="21"/>
        <source>
작업내역 %1단계 (%2), 레이어 %3개

마지막으로 기록된 상태로 복구하시겠습니까?</source>
        <translation>
History: %1 steps (%2), %3 layers

Recover it as last recorded?</translation>
    </message>
    <message>
        <location filename="../src/ui/recovery_offer.h" line="28"/>
        <source>작업 복구</source>
        <translation>Recover Work</translation>
    </message>
    <message>
        <location filename="../src/ui/recovery_offer.h" line="29"/>
        <source>복구</source>
        <translation>Recover</translation>
    </message>
    <message>
        <location filename="../src/ui/recovery_offer.h" line="30"/>
        <source>버림</source>
        <translation>Discard</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_scan.cpp" line="69"/>
        <source>외부장치 선택</source>
        <translation>Select Source</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_scan.cpp" line="71"/>
        <source>영상을 읽어들일 스캐너나 카메라를 고르십시오.</source>
        <translation>Choose the scanner or camera to read pictures from.</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_scan.cpp" line="82"/>
        <source>선택</source>
        <translation>Select</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_text.cpp" line="85"/>
        <source>줄간격</source>
        <translation>Line spacing</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_text.cpp" line="87"/>
        <source>장평(%)</source>
        <translation>Width (%)</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_text.cpp" line="105"/>
        <source>[확인]후,이동도구[</source>
        <translation>After [OK], use the Move tool [</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_text.cpp" line="109"/>
        <source>]로 위치조정</source>
        <translation>] to position it</translation>
    </message>
    <message>
        <location filename="../src/ui/update_check.cpp" line="98"/>
        <source>Velmira 업데이트 메시지가 도착하였습니다.</source>
        <translation>A Velmira update message has arrived.</translation>
    </message>
    <message>
        <location filename="../src/ui/update_check.cpp" line="98"/>
        <source>현재 프로그램은 구버전입니다.</source>
        <translation>This program is an old version.</translation>
    </message>
    <message>
        <location filename="../src/ui/update_check.cpp" line="99"/>
        <source>프로그램 종료 후, Velmira 사이트에서 신버전을 설치하십시요.</source>
        <translation>Quit the program, then install the new version from the Velmira site.</translation>
    </message>
    <message>
        <location filename="../src/ui/update_check.cpp" line="114"/>
        <source>확 인</source>
        <translation>OK</translation>
    </message>
    <message>
        <location filename="../src/ui/main_frame.cpp" line="280"/>
        <source>부드러운 붓</source>
        <translation>Soft brush</translation>
    </message>
    <message>
        <location filename="../src/ui/main_frame.cpp" line="280"/>
        <source>붓</source>
        <translation>Brush</translation>
    </message>
    <message>
        <location filename="../src/ui/main_frame.cpp" line="954"/>
        <source>'Velmira'에 관하여</source>
        <translation>About 'Velmira'</translation>
    </message>
    <message>
        <location filename="../src/ui/main_frame.cpp" line="955"/>
        <source>&lt;b&gt;Velmira 3.68&lt;/b&gt;&lt;br&gt;레이어 사진 편집기&lt;br&gt;Linux, Qt %1</source>
        <translation>&lt;b&gt;Velmira 3.68&lt;/b&gt;&lt;br&gt;Layered photo editor&lt;br&gt;Linux, Qt %1</translation>
    </message>
    <message>
        <location filename="../src/ui/mirv_app.h" line="69"/>
        <source>[인터넷] 연결하여 업데이트 여부 확인...</source>
        <translation>Check for updates on the [Internet]...</translation>
    </message>
    <message>
        <location filename="../src/image/doc.cpp" line="165"/>
        <source>배경영상</source>
        <translation>Background</translation>
    </message>
    <message>
        <location filename="../src/image/doc.cpp" line="1092"/>
        <location filename="../src/ui/settings_dialog.cpp" line="85"/>
        <source>선택영역</source>
        <translation>Selection</translation>
    </message>
    <message>
        <location filename="../src/image/doc.cpp" line="1156"/>
        <source>복사%d_%s</source>
        <translation>Copy%d_%s</translation>
    </message>
    <message>
        <location filename="../src/ui/mirv_app.cpp" line="62"/>
        <source>3.68  사진 편집기</source>
        <translation>3.68  Photo Editor</translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="249"/>
        <location filename="../src/ui/measure_menu.cpp" line="182"/>
        <source>측정 기준</source>
        <translation>Calibration</translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="261"/>
        <source>이름</source>
        <translation>Name</translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="263"/>
        <source>기준 x</source>
        <translation>Reference x</translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="264"/>
        <source>기준 y</source>
        <translation>Reference y</translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="265"/>
        <source>픽셀 길이</source>
        <translation>Pixel length</translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="266"/>
        <source>실제 길이</source>
        <translation>Real length</translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="267"/>
        <source>추가</source>
        <translation>Add</translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="268"/>
        <source>삭제</source>
        <translation>Delete</translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="269"/>
        <source>기준설정</source>
        <translation>Set Reference</translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="306"/>
        <source>새기준</source>
        <translation>New Reference</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_transform.cpp" line="133"/>
        <source>현재크기</source>
        <translation>Current size</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_transform.cpp" line="135"/>
        <location filename="../src/ui/dlg_transform.cpp" line="72"/>
        <source>너비</source>
        <translation>Width</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_transform.cpp" line="137"/>
        <location filename="../src/ui/dlg_transform.cpp" line="140"/>
        <location filename="../src/ui/dlg_transform.cpp" line="70"/>
        <source>픽셀</source>
        <translation>pixels</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_transform.cpp" line="138"/>
        <location filename="../src/ui/dlg_transform.cpp" line="75"/>
        <source>높이</source>
        <translation>Height</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_transform.cpp" line="141"/>
        <source>확장방향</source>
        <translation>Anchor</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_adjust.cpp" line="146"/>
        <location filename="../src/ui/dlg_adjust.cpp" line="167"/>
        <source>빨강(R)</source>
        <translation>Red (R)</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_adjust.cpp" line="146"/>
        <location filename="../src/ui/dlg_adjust.cpp" line="168"/>
        <source>녹색(G)</source>
        <translation>Green (G)</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_adjust.cpp" line="146"/>
        <source>청색(B)</source>
        <translation>Blue (B)</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_adjust.cpp" line="167"/>
        <source>색상(H)</source>
        <translation>Hue (H)</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_adjust.cpp" line="168"/>
        <source>채도(S)</source>
        <translation>Saturation (S)</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_adjust.cpp" line="169"/>
        <source>파랑(B)</source>
        <translation>Blue (B)</translation>
    </message>
    <message>
        <location filename="../src/ui/tool_menu.cpp" line="179"/>
        <source> 색상범위 영역지정</source>
        <translation> Select Colour Range</translation>
    </message>
    <message>
        <location filename="../src/ui/tool_menu.cpp" line="184"/>
        <source>0     허용정도   255</source>
        <translation>0     Tolerance   255</translation>
    </message>
    <message>
        <location filename="../src/ui/tool_menu.cpp" line="199"/>
        <source>픽셀수</source>
        <translation>Pixels</translation>
    </message>
    <message>
        <location filename="../src/ui/tool_menu.cpp" line="202"/>
        <source>표시색상</source>
        <translation>Shown colour</translation>
    </message>
    <message>
        <location filename="../src/ui/tool_menu.cpp" line="208"/>
        <source>선택색상</source>
        <translation>Selected colour</translation>
    </message>
    <message>
        <location filename="../src/ui/tool_menu.cpp" line="215"/>
        <source>효과</source>
        <translation>Mode</translation>
    </message>
    <message>
        <location filename="../src/ui/tool_menu.cpp" line="217"/>
        <source>색상추출더하기</source>
        <translation>Add Colour</translation>
    </message>
    <message>
        <location filename="../src/ui/tool_menu.cpp" line="226"/>
        <source>선택해제</source>
        <translation>Deselect</translation>
    </message>
    <message>
        <location filename="../src/ui/tool_menu.cpp" line="270"/>
        <source>픽셀수 %d   (%.2f)%s           </source>
        <translation>Pixels %d   (%.2f)%s           </translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="493"/>
        <location filename="../src/ui/measure_menu.cpp" line="183"/>
        <source>엑셀로 변환</source>
        <translation>Export to Excel</translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="497"/>
        <source>엑셀 파일로 저장</source>
        <translation>Save as Excel File</translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="498"/>
        <source>텍스트 파일로 저장</source>
        <translation>Save as Text File</translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="503"/>
        <source>시트</source>
        <translation>Sheet</translation>
    </message>
    <message>
        <location filename="../src/ui/face_trans.cpp" line="57"/>
        <source>눈(코)부분</source>
        <translation>Eyes (nose):</translation>
    </message>
    <message>
        <location filename="../src/ui/face_trans.cpp" line="57"/>
        <source>사각선택후</source>
        <translation>select a rectangle,</translation>
    </message>
    <message>
        <location filename="../src/ui/face_trans.cpp" line="57"/>
        <source>변환 버튼</source>
        <translation>then a button</translation>
    </message>
    <message>
        <location filename="../src/ui/face_trans.cpp" line="63"/>
        <source>조정값</source>
        <translation>Amount</translation>
    </message>
    <message>
        <location filename="../src/ui/face_trans.cpp" line="66"/>
        <source>조정2</source>
        <translation>Amount 2</translation>
    </message>
    <message>
        <location filename="../src/ui/face_trans.cpp" line="73"/>
        <source>쭈구리기</source>
        <translation>Squeeze</translation>
    </message>
    <message>
        <location filename="../src/ui/face_trans.cpp" line="74"/>
        <source>늘리기</source>
        <translation>Stretch</translation>
    </message>
    <message>
        <location filename="../src/ui/face_trans.cpp" line="75"/>
        <source>밀기</source>
        <translation>Push</translation>
    </message>
    <message>
        <location filename="../src/ui/face_trans.cpp" line="85"/>
        <source>변환</source>
        <translation>Apply</translation>
    </message>
    <message>
        <location filename="../src/ui/face_trans.cpp" line="86"/>
        <source>원래대로</source>
        <translation>Restore</translation>
    </message>
    <message>
        <location filename="../src/processing/filter_table.h" line="67"/>
        <location filename="../src/processing/doc_commands.h" line="41"/>
        <source>임계치변환</source>
        <translation>Threshold</translation>
    </message>
    <message>
        <location filename="../src/processing/filter_table.h" line="69"/>
        <source>FS 디더링</source>
        <translation>FS dithering</translation>
    </message>
    <message>
        <location filename="../src/processing/filter_table.h" line="69"/>
        <source>OR 디더링</source>
        <translation>OR dithering</translation>
    </message>
    <message>
        <location filename="../src/processing/filter_table.h" line="69"/>
        <source>절대변환</source>
        <translation>Absolute</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_transform.cpp" line="194"/>
        <source>회전각지정</source>
        <translation>Rotation Angle</translation>
    </message>
    <message>
        <location filename="../src/ui/tool_menu.cpp" line="136"/>
        <source>방향</source>
        <translation>Direction</translation>
    </message>
    <message>
        <location filename="../src/ui/tool_menu.cpp" line="137"/>
        <source>한쪽으로</source>
        <translation>One way</translation>
    </message>
    <message>
        <location filename="../src/ui/tool_menu.cpp" line="138"/>
        <source>양쪽으로</source>
        <translation>Both ways</translation>
    </message>
    <message>
        <location filename="../src/ui/tool_menu.cpp" line="142"/>
        <source>전경색→검정</source>
        <translation>Foreground→Black</translation>
    </message>
    <message>
        <location filename="../src/ui/tool_menu.cpp" line="143"/>
        <source>배경색→전경색</source>
        <translation>Background→Foreground</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_transform.cpp" line="255"/>
        <source>투명그림자 효과</source>
        <translation>Transparent shadow</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_transform.cpp" line="257"/>
        <source>레이어 효과 제거</source>
        <translation>Remove Layer Effect</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_transform.cpp" line="293"/>
        <source>레이어 효과색</source>
        <translation>Layer effect colour</translation>
    </message>
    <message>
        <location filename="../src/ui/layer_panel.cpp" line="157"/>
        <source>레이어</source>
        <translation>Layers</translation>
    </message>
    <message>
        <location filename="../src/ui/layer_panel.cpp" line="197"/>
        <source>작업내역</source>
        <translation>History</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_adjust.cpp" line="308"/>
        <source>최대도수</source>
        <translation>Highest count</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_adjust.cpp" line="310"/>
        <source>명암범위</source>
        <translation>Tonal range</translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="166"/>
        <source>측정 도구</source>
        <translation>Measuring Tools</translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="183"/>
        <source>다시그리기</source>
        <translation>Redraw</translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="200"/>
        <source>값 표시</source>
        <translation>Show values</translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="207"/>
        <source>기준</source>
        <translation>Reference</translation>
    </message>
    <message>
        <location filename="../src/ui/measure_menu.cpp" line="208"/>
        <source>소수점</source>
        <translation>Decimals</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_transform.cpp" line="67"/>
        <source>비율 유지</source>
        <translation>Keep proportions</translation>
    </message>
    <message>
        <location filename="../src/ui/dlg_transform.cpp" line="71"/>
        <source>퍼센트</source>
        <translation>Percent</translation>
    </message>
    <message>
        <location filename="../src/ui/scan_menu.cpp" line="132"/>
        <source>외부장치를 열 수 없습니다: %1</source>
        <translation>The device cannot be opened: %1</translation>
    </message>
    <message>
        <location filename="../src/ui/scan_menu.cpp" line="141"/>
        <source>외부장치가 설정을 받아들이지 않습니다: %1</source>
        <translation>The device does not accept the settings: %1</translation>
    </message>
    <message>
        <location filename="../src/ui/scan_menu.cpp" line="148"/>
        <source>외부영상을 읽어들이는 중...</source>
        <translation>Acquiring the image...</translation>
    </message>
    <message>
        <location filename="../src/ui/scan_menu.cpp" line="171"/>
        <source>외부영상을 읽어들이는 중... (%1쪽)</source>
        <translation>Acquiring the image... (page %1)</translation>
    </message>
    <message>
        <location filename="../src/ui/scan_menu.cpp" line="194"/>
        <source>외부장치 오류: %1</source>
        <translation>Device error: %1</translation>
    </message>
    <message>
        <location filename="../src/ui/settings_dialog.cpp" line="72"/>
        <source>커서</source>
        <translation>Cursor</translation>
    </message>
    <message>
        <location filename="../src/ui/settings_dialog.cpp" line="75"/>
        <source>무늬</source>
        <translation>Pattern</translation>
    </message>
    <message>
        <location filename="../src/ui/settings_dialog.cpp" line="80"/>
        <source>커서/선택</source>
        <translation>Cursor/Selection</translation>
    </message>
    <message>
        <location filename="../src/ui/settings_dialog.cpp" line="86"/>
        <source>경로</source>
        <translation>Path</translation>
    </message>
    <message>
        <location filename="../src/ui/settings_dialog.cpp" line="87"/>
        <source>선택영역을 다른 톤으로 구별하여 나타내기</source>
        <translation>Show the selection in a different tone</translation>
    </message>
    <message>
        <location filename="../src/ui/settings_dialog.cpp" line="90"/>
        <source>선택/경로</source>
        <translation>Selection/Path</translation>
    </message>
    <message>
        <location filename="../src/ui/settings_dialog.cpp" line="101"/>
        <source>격자간격</source>
        <translation>Grid spacing</translation>
    </message>
    <message>
        <location filename="../src/ui/settings_dialog.cpp" line="103"/>
        <source>격자표시</source>
        <translation>Grid display</translation>
    </message>
    <message>
        <location filename="../src/ui/settings_dialog.cpp" line="108"/>
        <source>업데이트 여부를 시작시에 인터넷으로 점검함</source>
        <translation>Check the Internet for updates at start-up</translation>
    </message>
    <message>
        <location filename="../src/ui/settings_dialog.cpp" line="110"/>
        <source>프로그램 시작시 이미지 열기 창 보임</source>
        <translation>Show the Open Image window at start-up</translation>
    </message>
    <message>
        <location filename="../src/ui/settings_dialog.cpp" line="112"/>
        <source>파라메터 초기화(전경· 배경색,붓굵기, 안개 ···)</source>
        <translation>Reset parameters (foreground·background colour, brush size, fog ···)</translation>
    </message>
    <message>
        <location filename="../src/ui/settings_dialog.cpp" line="117"/>
        <source>업데이트 주소</source>
        <translation>Update address</translation>
    </message>
    <message>
        <location filename="../src/ui/settings_dialog.cpp" line="129"/>
        <source>언어 (Language)</source>
        <translation>Language</translation>
    </message>
    <message>
        <location filename="../src/ui/settings_dialog.cpp" line="132"/>
        <source>시스템 설정에 따름</source>
        <translation>Follow the system</translation>
    </message>
    <message>
        <location filename="../src/ui/settings_dialog.cpp" line="139"/>
        <source>※언어는 프로그램을 다시 시작하면 바뀝니다.</source>
        <translation>※The language changes when the program is restarted.</translation>
    </message>
    <message>
        <location filename="../src/ui/settings_dialog.cpp" line="142"/>
        <source>기 타</source>
        <translation>Other</translation>
    </message>
    <message>
        <location filename="../src/ui/tool_options.cpp" line="14"/>
        <source>값지정</source>
        <translation>Values</translation>
    </message>
    <message>
        <location filename="../src/ui/tool_options.cpp" line="39"/>
        <source>경계퍼짐</source>
        <translation>Feather</translation>
    </message>
    <message>
        <location filename="../src/tools/guide_path.h" line="27"/>
        <source>현재 완성된 경로를 제거하시겠습니까?</source>
        <translation>Remove the finished path?</translation>
    </message>
    <message>
        <location filename="../src/tools/guide_path.h" line="28"/>
        <source>경로 설정에 사용된 안내점이 너무 많습니다.</source>
        <translation>The path uses too many anchor points.</translation>
    </message>
    <message>
        <location filename="../src/tools/guide_path.h" line="29"/>
        <source>안내 점이 더 필요합니다.</source>
        <translation>More anchor points are needed.</translation>
    </message>
    <message>
        <location filename="../src/tools/guide_path.h" line="30"/>
        <source>경로가 닫혀 있지 않습니다.</source>
        <translation>The path is not closed.</translation>
    </message>
    <message>
        <location filename="../src/tools/guide_path.h" line="31"/>
        <location filename="../src/image/doc.cpp" line="21"/>
        <source>Text레이어가 아닌 다른 레이어를 선택하시고 진행하십시요</source>
        <translation>Choose a layer other than a Text layer, then go on</translation>
    </message>
    <message>
        <location filename="../src/tools/guide_path.h" line="32"/>
        <source>경로따라 선긋기</source>
        <translation>Stroke Path</translation>
    </message>
    <message>
        <location filename="../src/image/doc.cpp" line="38"/>
        <source>레이어병합</source>
        <translation>Merge Layers</translation>
    </message>
    <message>
        <location filename="../src/image/doc.cpp" line="39"/>
        <source>떡그림</source>
        <translation>Flatten</translation>
    </message>
    <message>
        <location filename="../src/image/doc.cpp" line="42"/>
        <source>복사물 붙이기</source>
        <translation>Paste</translation>
    </message>
    <message>
        <location filename="../src/image/doc.cpp" line="43"/>
        <source>자르기</source>
        <translation>Cut</translation>
    </message>
    <message>
        <location filename="../src/image/doc.cpp" line="44"/>
        <source>선택영역 위치이동</source>
        <translation>Move Selection</translation>
    </message>
    <message>
        <location filename="../src/image/doc.cpp" line="45"/>
        <source>레이어 위치 이동</source>
        <translation>Move Layer</translation>
    </message>
    <message>
        <location filename="../src/processing/transform_commands.cpp" line="20"/>
        <source>레이어 수평제비회전</source>
        <translation>Flip Layer Horizontal</translation>
    </message>
    <message>
        <location filename="../src/processing/transform_commands.cpp" line="21"/>
        <source>레이어 수직제비회전</source>
        <translation>Flip Layer Vertical</translation>
    </message>
    <message>
        <location filename="../src/processing/transform_commands.cpp" line="22"/>
        <source>거울변환</source>
        <translation>Mirror</translation>
    </message>
    <message>
        <location filename="../src/processing/transform_commands.cpp" line="24"/>
        <source>캔버스 90 우회전</source>
        <translation>Canvas 90 Clockwise</translation>
    </message>
    <message>
        <location filename="../src/processing/transform_commands.cpp" line="25"/>
        <source>캔버스 90 좌회전</source>
        <translation>Canvas 90 Anticlockwise</translation>
    </message>
    <message>
        <location filename="../src/processing/transform_commands.cpp" line="26"/>
        <source>캔버스 180 회전</source>
        <translation>Canvas 180 Rotate</translation>
    </message>
    <message>
        <location filename="../src/processing/transform_commands.cpp" line="27"/>
        <source>레이어 90 우회전</source>
        <translation>Layer 90 Clockwise</translation>
    </message>
    <message>
        <location filename="../src/processing/transform_commands.cpp" line="28"/>
        <source>레이어 90 좌회전</source>
        <translation>Layer 90 Anticlockwise</translation>
    </message>
    <message>
        <location filename="../src/processing/transform_commands.cpp" line="29"/>
        <source>레이어 180 회전</source>
        <translation>Layer 180 Rotate</translation>
    </message>
    <message>
        <location filename="../src/processing/transform_commands.cpp" line="35"/>
        <source>캔버스크기조정</source>
        <translation>Canvas Size</translation>
    </message>
    <message>
        <location filename="../src/measure/export.cpp" line="13"/>
        <source>파일(MicroMeasure.txt)이 저장되었습니다.</source>
        <translation>The file (MicroMeasure.txt) has been saved.</translation>
    </message>
    <message>
        <location filename="../src/measure/export.cpp" line="14"/>
        <source>엑셀 파일을 저장할 수 없습니다.</source>
        <translation>The Excel file cannot be saved.</translation>
    </message>
    <message>
        <location filename="../src/measure/export.cpp" line="83"/>
        <source>항목</source>
        <translation>Item</translation>
    </message>
    <message>
        <location filename="../src/measure/export.cpp" line="83"/>
        <source>길이</source>
        <translation>Length</translation>
    </message>
    <message>
        <location filename="../src/measure/export.cpp" line="83"/>
        <source>면적</source>
        <translation>Area</translation>
    </message>
    <message>
        <location filename="../src/measure/export.cpp" line="83"/>
        <source>각도</source>
        <translation>Angle</translation>
    </message>
    <message>
        <location filename="../src/measure/export.cpp" line="83"/>
        <source>반지름</source>
        <translation>Radius</translation>
    </message>
    <message>
        <location filename="../src/measure/export.cpp" line="83"/>
        <source>지름</source>
        <translation>Diameter</translation>
    </message>
    <message>
        <location filename="../src/measure/measure_commands.cpp" line="18"/>
        <source>[선택/수정] 버튼으로 대상을 정하고 실행하십시요</source>
        <translation>Choose the target with the [Select/Edit] button, then run this</translation>
    </message>
    <message>
        <location filename="../src/measure/measure_commands.cpp" line="19"/>
        <source>제거할 개체를 먼저 선택하십시요</source>
        <translation>Select the object to remove first</translation>
    </message>
    <message>
        <location filename="../src/measure/measure_commands.cpp" line="21"/>
        <source>등록하려면 위 버튼을 클릭. 취소는 Esc.</source>
        <translation>Click the button above to register. Esc cancels.</translation>
    </message>
    <message>
        <location filename="../src/measure/measure_commands.cpp" line="22"/>
        <source>측정 기준은 30개까지 저장할 수 있습니다. 쓰지 않는 기준을 삭제하십시요.</source>
        <translation>Up to 30 calibrations can be kept. Delete those you do not use.</translation>
    </message>
    <message>
        <location filename="../src/measure/measure_commands.cpp" line="23"/>
        <source>측정 파일의 그림 크기나 색상 수가 현재 그림과 다릅니다.</source>
        <translation>The measurement file's picture size or colour count differs from the current picture.</translation>
    </message>
    <message>
        <location filename="../src/measure/measure_commands.cpp" line="179"/>
        <source>(기준설정중) %d pixels</source>
        <translation>(Calibrating) %d pixels</translation>
    </message>
    <message>
        <location filename="../src/measure/sco_file.cpp" line="18"/>
        <source>측정 파일이 손상되었거나 형식이 다릅니다.</source>
        <translation>The measurement file is damaged or of another format.</translation>
    </message>
    <message>
        <location filename="../src/measure/sco_file.cpp" line="19"/>
        <source>측정 파일을 저장할 수 없습니다.</source>
        <translation>The measurement file cannot be saved.</translation>
    </message>
    <message>
        <location filename="../src/measure/objects.h" line="29"/>
        <source>곡선영역</source>
        <translation>Curve area</translation>
    </message>
    <message>
        <location filename="../src/measure/objects.h" line="30"/>
        <source>글자</source>
        <translation>Text</translation>
    </message>
    <message>
        <location filename="../src/movie/avi_writer.h" line="38"/>
        <source>현재 파일은 사용중입니다. 출력파일명을 변경하십시요.</source>
        <translation>The file is in use. Change the output file name.</translation>
    </message>
    <message>
        <location filename="../src/movie/avi_writer.h" line="41"/>
        <source>무비작성에 필요한 코덱이 설치되어 있지 않습니다. 
<byte value="xd"/>상단의 [코덱 다운로드 및 설치] 버튼을 선택하십시요.</source>
        <translation>The codec needed to make the movie is not installed. 
<byte value="xd"/>Press the [Download and Install Codecs] button at the top.</translation>
    </message>
    <message>
        <location filename="../src/movie/avi_writer.h" line="42"/>
        <source>이미지와 코덱의 형식이 일치하지 않습니다.</source>
        <translation>The image and codec formats do not match.</translation>
    </message>
    <message>
        <location filename="../src/movie/avi_writer.h" line="43"/>
        <source>무비 파일에 스트림 출력 문제로 진행이 불가합니다.</source>
        <translation>Cannot go on: the movie file's stream could not be written.</translation>
    </message>
    <message>
        <location filename="../src/movie/avi_writer.h" line="44"/>
        <source>메모리 배정 문제로 진행이 불가합니다.</source>
        <translation>Cannot go on: memory could not be allocated.</translation>
    </message>
    <message>
        <location filename="../src/movie/movie_composer.h" line="79"/>
        <source>영상크기가 출력 무비의 크기보다 작거나 혹은 다른 이유로 제외됨</source>
        <translation>Left out: the image is smaller than the movie frame, or another reason</translation>
    </message>
    <message>
        <location filename="../src/movie/movie_composer.h" line="80"/>
        <source>사진변환완료</source>
        <translation>Pictures converted</translation>
    </message>
    <message>
        <location filename="../src/image/doc.cpp" line="17"/>
        <source>레이어수 과다... 기존 레이어의 병합 혹은 제거하신 후에 다시 시도.</source>
        <translation>Too many layers... Merge or remove layers, then try again.</translation>
    </message>
    <message>
        <location filename="../src/image/doc.cpp" line="18"/>
        <source>레이어가 1개 밖에 없습니다</source>
        <translation>There is only one layer</translation>
    </message>
    <message>
        <location filename="../src/image/doc.cpp" line="22"/>
        <source>두 레이어 중 적어도 하나가 글자레이어입니다.<byte value="xd"/>
레스터 변환 후에 병합하십시요.</source>
        <translation>At least one of the two layers is a text layer.<byte value="xd"/>
Rasterize it before merging.</translation>
    </message>
    <message>
        <location filename="../src/image/doc.cpp" line="23"/>
        <source>RGB영상만 지원합니다.</source>
        <translation>Only RGB pictures are supported.</translation>
    </message>
    <message>
        <location filename="../src/image/doc.cpp" line="24"/>
        <source>그림파일명이 너무 깁니다.</source>
        <translation>The picture file name is too long.</translation>
    </message>
    <message>
        <location filename="../src/image/doc.cpp" line="26"/>
        <source>해당파일이 존재하지 않습니다.</source>
        <translation>The file does not exist.</translation>
    </message>
    <message>
        <location filename="../src/image/doc.cpp" line="27"/>
        <source>벡터형식이 아닌 레이어만 복사할 수 있습니다.</source>
        <translation>Only non-vector layers can be copied.</translation>
    </message>
    <message>
        <location filename="../src/image/doc.cpp" line="28"/>
        <source>영역선택 후에 시도하십시요</source>
        <translation>Select an area first, then try again</translation>
    </message>
    <message>
        <location filename="../src/image/doc.cpp" line="29"/>
        <source>변환을 성공하지 못했습니다.</source>
        <translation>The conversion did not succeed.</translation>
    </message>
    <message>
        <location filename="../src/image/doc.cpp" line="30"/>
        <source>[%s] 파일을 저장하지 못했습니다.</source>
        <translation>The file [%s] could not be saved.</translation>
    </message>
    <message>
        <location filename="../src/processing/doc_commands.h" line="34"/>
        <source>명도·대비 조절</source>
        <translation>Brightness·Contrast</translation>
    </message>
    <message>
        <location filename="../src/processing/doc_commands.h" line="35"/>
        <source>색상조정</source>
        <translation>Colour Adjust</translation>
    </message>
    <message>
        <location filename="../src/processing/doc_commands.h" line="36"/>
        <source>자동 색상 조정</source>
        <translation>Auto Colour Adjust</translation>
    </message>
    <message>
        <location filename="../src/processing/doc_commands.h" line="38"/>
        <source>그레이스케일 변환</source>
        <translation>Greyscale Conversion</translation>
    </message>
    <message>
        <location filename="../src/processing/doc_commands.h" line="40"/>
        <source>RGB 컬러영상으로 변환</source>
        <translation>To RGB Colour</translation>
    </message>
</context>
</TS>
