// The M side of the GT.M engine: our own routine VRNGTM and the call-in table that names its
// entry points. Both are written into the database folder, where GT.M compiles the routine.
//
// Subscripts go in counted: ten decimal digits of length, then the bytes, for each subscript in
// turn. The routine puts them in a local array and reaches the node through it, so M itself
// decides what is a canonic number and what a string, and control characters need no quoting.
// Nodes found come back by the names GT.M writes for them (gtm_name.h).
#pragma once

namespace vorn::devserver {

inline constexpr const char* kGtmRoutineName = "VRNGTM";

inline constexpr const char* kGtmRoutine =
    R"M(VRNGTM	; Vorn's globals on GT.M: the entry points of vorn.ci
	QUIT
	; A reference is the global's name G with the subscripts A(1) to A(D). GT.M compiles the
	; indirection of a bare name (@N@(...)) into a quick lookup: the reads below are written out
	; for each depth a file reaches, and only deeper nodes and the writes go through a template,
	; "^G(A(1),A(2))", the same text for every reference of that global and depth. A node that
	; $QUERY found is reached again through A, filled from its name: indirection of the name
	; itself (@Q) compiles each new text, several times the cost of the step.
GV(N,D)	QUIT $SELECT(D=0:@N,D=1:@N@(A(1)),D=2:@N@(A(1),A(2)),D=3:@N@(A(1),A(2),A(3)),D=4:@N@(A(1),A(2),A(3),A(4)),D=5:@N@(A(1),A(2),A(3),A(4),A(5)),D=6:@N@(A(1),A(2),A(3),A(4),A(5),A(6)),D=7:@N@(A(1),A(2),A(3),A(4),A(5),A(6),A(7)),D=8:@N@(A(1),A(2),A(3),A(4),A(5),A(6),A(7),A(8)),1:@$$TPL($EXTRACT(N,2,$LENGTH(N)),D))
DT(N,D)	QUIT $SELECT(D=0:$DATA(@N),D=1:$DATA(@N@(A(1))),D=2:$DATA(@N@(A(1),A(2))),D=3:$DATA(@N@(A(1),A(2),A(3))),D=4:$DATA(@N@(A(1),A(2),A(3),A(4))),D=5:$DATA(@N@(A(1),A(2),A(3),A(4),A(5))),D=6:$DATA(@N@(A(1),A(2),A(3),A(4),A(5),A(6))),D=7:$DATA(@N@(A(1),A(2),A(3),A(4),A(5),A(6),A(7))),D=8:$DATA(@N@(A(1),A(2),A(3),A(4),A(5),A(6),A(7),A(8))),1:$DATA(@$$TPL($EXTRACT(N,2,$LENGTH(N)),D)))
QR(N,D)	QUIT $SELECT(D=0:$QUERY(@N),D=1:$QUERY(@N@(A(1))),D=2:$QUERY(@N@(A(1),A(2))),D=3:$QUERY(@N@(A(1),A(2),A(3))),D=4:$QUERY(@N@(A(1),A(2),A(3),A(4))),D=5:$QUERY(@N@(A(1),A(2),A(3),A(4),A(5))),D=6:$QUERY(@N@(A(1),A(2),A(3),A(4),A(5),A(6))),D=7:$QUERY(@N@(A(1),A(2),A(3),A(4),A(5),A(6),A(7))),D=8:$QUERY(@N@(A(1),A(2),A(3),A(4),A(5),A(6),A(7),A(8))),1:$QUERY(@$$TPL($EXTRACT(N,2,$LENGTH(N)),D)))
OR(N,D,DIR)	QUIT $SELECT(D=0:$ORDER(@N,DIR),D=1:$ORDER(@N@(A(1)),DIR),D=2:$ORDER(@N@(A(1),A(2)),DIR),D=3:$ORDER(@N@(A(1),A(2),A(3)),DIR),D=4:$ORDER(@N@(A(1),A(2),A(3),A(4)),DIR),D=5:$ORDER(@N@(A(1),A(2),A(3),A(4),A(5)),DIR),D=6:$ORDER(@N@(A(1),A(2),A(3),A(4),A(5),A(6)),DIR),D=7:$ORDER(@N@(A(1),A(2),A(3),A(4),A(5),A(6),A(7)),DIR),D=8:$ORDER(@N@(A(1),A(2),A(3),A(4),A(5),A(6),A(7),A(8)),DIR),1:$ORDER(@$$TPL($EXTRACT(N,2,$LENGTH(N)),D),DIR))
TPL(G,D)	; the template of ^G at depth D
	NEW I,R IF $DATA(VRNT(G,D)) QUIT VRNT(G,D)
	SET R="^"_G IF D SET R=R_"(" FOR I=1:1:D SET R=R_"A("_I_")"_$SELECT(I<D:",",1:")")
	SET VRNT(G,D)=R QUIT R
PARSE(S)	; A(1), A(2), ... from the counted subscripts S; their number
	NEW L,I,D SET I=1,D=0 KILL A
	FOR  QUIT:I>$LENGTH(S)  SET L=+$EXTRACT(S,I,I+9),D=D+1,A(D)=$EXTRACT(S,I+10,I+9+L),I=I+10+L
	QUIT D
C(X)	QUIT $EXTRACT(1E10+$LENGTH(X),2,11)_X
NM(G,D)	QUIT $NAME(@$$TPL(G,D))
	; Reads of nodes one to six subscripts deep take the subscripts as arguments, G holding the
	; caret: counting them into a string and parsing it back would cost as much as the read.
G1(G,S1,V,D)	SET D=$DATA(@G@(S1))#2,V=$SELECT(D:@G@(S1),1:"") QUIT
G2(G,S1,S2,V,D)	SET D=$DATA(@G@(S1,S2))#2,V=$SELECT(D:@G@(S1,S2),1:"") QUIT
G3(G,S1,S2,S3,V,D)	SET D=$DATA(@G@(S1,S2,S3))#2,V=$SELECT(D:@G@(S1,S2,S3),1:"") QUIT
G4(G,S1,S2,S3,S4,V,D)	SET D=$DATA(@G@(S1,S2,S3,S4))#2,V=$SELECT(D:@G@(S1,S2,S3,S4),1:"") QUIT
G5(G,S1,S2,S3,S4,S5,V,D)	SET D=$DATA(@G@(S1,S2,S3,S4,S5))#2,V=$SELECT(D:@G@(S1,S2,S3,S4,S5),1:"") QUIT
G6(G,S1,S2,S3,S4,S5,S6,V,D)	SET D=$DATA(@G@(S1,S2,S3,S4,S5,S6))#2,V=$SELECT(D:@G@(S1,S2,S3,S4,S5,S6),1:"") QUIT
D1(G,S1,D)	SET D=$DATA(@G@(S1)) QUIT
D2(G,S1,S2,D)	SET D=$DATA(@G@(S1,S2)) QUIT
D3(G,S1,S2,S3,D)	SET D=$DATA(@G@(S1,S2,S3)) QUIT
D4(G,S1,S2,S3,S4,D)	SET D=$DATA(@G@(S1,S2,S3,S4)) QUIT
D5(G,S1,S2,S3,S4,S5,D)	SET D=$DATA(@G@(S1,S2,S3,S4,S5)) QUIT
D6(G,S1,S2,S3,S4,S5,S6,D)	SET D=$DATA(@G@(S1,S2,S3,S4,S5,S6)) QUIT
GET(G,S,V,D)	NEW A,N,E SET N="^"_G,E=$$PARSE(S),D=$$DT(N,E)#2,V=$SELECT(D:$$GV(N,E),1:"") QUIT
DATA(G,S,D)	NEW A SET D=$$DT("^"_G,$$PARSE(S)) QUIT
SET(G,S,V)	NEW A SET @$$TPL(G,$$PARSE(S))=V QUIT
KILL(G,S)	NEW A KILL @$$TPL(G,$$PARSE(S)) QUIT
	; Nodes found go back by the name GT.M writes for them, which the server reads: building
	; counted subscripts here would cost more than finding the node.
NEXT(G,S,SKIP,O,V,F)	; the first node with a value after ^G(S), past its descendants when SKIP
	NEW A SET O=$$NXQ(G,$$PARSE(S),SKIP),F=O'="",V=$SELECT(F:@O,1:"") QUIT
PREV(G,S,WITHIN,O,V,F)	; the last node with a value before ^G(S), or at its end when WITHIN
	NEW A,D SET D=$$PRV(G,$$PARSE(S),WITHIN),F=0,O="",V="" QUIT:D<1
	SET O=$$NM(G,D),V=@O,F=1 QUIT
STEPS(G,S,DIR,FLAG,N,VALUES,O)	; up to N nodes one after another from ^G(S), as NEXT or PREV
	; finds them, each its counted name, and with VALUES its counted value
	NEW A,D,E,I,J,M,Q,T,X SET D=$$PARSE(S),O="",Q="",M="^"_G,E=-1
	FOR I=1:1:N DO  QUIT:Q=""  QUIT:$LENGTH(O)>524288
	. IF DIR>0 DO
	. . IF I=1 SET Q=$$NXQ(G,D,FLAG)
	. . ELSE  SET:E'=D E=D,T=$$TPL(G,D) SET Q=$QUERY(@T)
	. . QUIT:Q=""  SET D=$QLENGTH(Q) FOR J=1:1:D SET A(J)=$QSUBSCRIPT(Q,J)
	. ELSE  SET D=$$PRV(G,D,FLAG),FLAG=0,Q=$SELECT(D<1:"",1:$$NM(G,D))
	. QUIT:Q=""
	. SET O=O_$EXTRACT(1E10+$LENGTH(Q),2,11)_Q IF VALUES SET X=$$GV(M,D),O=O_$EXTRACT(1E10+$LENGTH(X),2,11)_X
	QUIT
FIRSTS(G,S,C,O)	; for each counted subscript X of C, the first node with a value after ^G(S,X),
	; as NEXT finds it: "1", its counted name and its counted value; "0" when none
	NEW A,B,D,E,I,J,L,M,Q,T,U,X SET I=1,O="",M="^"_G,D=$$PARSE(S)+1,T=$$TPL(G,D),U=$$TPL(G,D+1)
	FOR J=1:1:D-1 SET B(J)=A(J)
	FOR  QUIT:I>$LENGTH(C)  SET L=+$EXTRACT(C,I,I+9),A(D)=$EXTRACT(C,I+10,I+9+L),I=I+10+L DO  QUIT:$LENGTH(O)>524288
	. ; a node with descendants whose first one lies just below it: only that subscript is new
	. IF $DATA(@T)>9 SET Q=$QUERY(@T) IF $QLENGTH(Q)=(D+1) SET A(D+1)=$QSUBSCRIPT(Q,D+1),X=@U,O=O_1_$EXTRACT(1E10+$LENGTH(Q),2,11)_Q_$EXTRACT(1E10+$LENGTH(X),2,11)_X QUIT
	. SET Q=$QUERY(@T)
	. IF Q="" SET O=O_0 QUIT
	. SET E=$$AQ(Q),X=$$GV(M,E),O=O_1_$EXTRACT(1E10+$LENGTH(Q),2,11)_Q_$EXTRACT(1E10+$LENGTH(X),2,11)_X
	. FOR J=1:1:D-1 SET A(J)=B(J)
	QUIT
ENTRIES(G,S,R,DIR,FLAG,N,O)	; up to N nodes two levels below ^G(A(1..R)) (an index's entries,
	; ^G(...,value,entry)), one after another from ^G(S) as NEXT or PREV finds them, FLAG as
	; theirs; each its counted name. A walk of two fixed levels by $ORDER: backwards, PRV's walk
	; through every level costs several times as much an entry.
	NEW A,D,I,T,U,X SET D=$$PARSE(S),O="",T=$$TPL(G,R+1),U=$$TPL(G,R+2)
	QUIT:D<R  QUIT:D>(R+2)
	IF D=R QUIT:FLAG'=(DIR<0)  SET A(R+1)="",X=$ORDER(@T,DIR) QUIT:X=""  SET A(R+1)=X,A(R+2)=""
	IF D=(R+1) SET A(R+2)="" IF FLAG'=(DIR<0) SET X=$ORDER(@T,DIR) QUIT:X=""  SET A(R+1)=X
	FOR I=1:1:N DO  QUIT:X=""  QUIT:$LENGTH(O)>524288
	. SET X=$ORDER(@U,DIR) IF X="" FOR  SET X=$ORDER(@T,DIR) QUIT:X=""  SET A(R+1)=X,A(R+2)="",X=$ORDER(@U,DIR) QUIT:X'=""
	. QUIT:X=""
	. SET A(R+2)=X,X=$NAME(@U),O=O_$EXTRACT(1E10+$LENGTH(X),2,11)_X
	QUIT
AQ(Q)	; A(1) to A(D) from the name Q, which $QUERY or $NAME wrote; D
	NEW D,J SET D=$QLENGTH(Q) FOR J=1:1:D SET A(J)=$QSUBSCRIPT(Q,J)
	QUIT D
NXQ(G,D,SKIP)	; the name of the node with a value after ^G(A(1..D)), past its descendants
	; when SKIP; "" when there is none
	NEW X,N SET N="^"_G
	QUIT:'SKIP $$QR(N,D)
	SET X="" FOR  QUIT:D<1  SET X=$$OR(N,D,1) QUIT:X'=""  SET D=D-1
	QUIT:X="" ""
	SET A(D)=X QUIT:$$DT(N,D)#2 $$NM(G,D)
	QUIT $$QR(N,D)
PRV(G,D,WITHIN)	; the node with a value before ^G(A(1..D)), or the last of its subtree when
	; WITHIN: its depth, with A holding its subscripts; -1 when there is none
	; GT.M's $QUERY goes forward only: back through earlier siblings' last nodes, then parents
	NEW X,E,N SET N="^"_G
	IF WITHIN SET E=$$LAST(G,D) QUIT:E>D E  IF D,$$DT(N,D)#2 QUIT D
	SET X="" FOR  QUIT:D<1  SET X=$$OR(N,D,-1) QUIT:X'=""  SET D=D-1 IF D,$$DT(N,D)#2 QUIT
	QUIT:D<1 -1
	QUIT:X="" D
	SET A(D)=X QUIT $$LAST(G,D)
LAST(G,D)	; the depth of the last node of ^G(A(1..D))'s subtree, with A holding it
	NEW X,N SET N="^"_G
	FOR  SET A(D+1)="",X=$$OR(N,D+1,-1) QUIT:X=""  SET D=D+1,A(D)=X
	QUIT D
NAMES(O)	; the globals that hold anything, comma-separated
	NEW N SET N="^%",O="" FOR  SET N=$ORDER(@N) QUIT:N=""  SET O=O_$EXTRACT(N,2,$LENGTH(N))_","
	QUIT
ADD(OP)	; one write of the transaction being gathered
	SET VRNQ($INCREMENT(VRNQ))=OP QUIT
DROP()	KILL VRNQ QUIT
COMMIT()	; the gathered writes as one transaction: kills first, then sets
	NEW I,OP,T,L,G,S,P,A
	TSTART ():SERIAL
	SET I="" FOR  SET I=$ORDER(VRNQ(I)) QUIT:I=""  SET OP=VRNQ(I) DO
	. SET T=$EXTRACT(OP),L=+$EXTRACT(OP,2,11),G=$EXTRACT(OP,12,11+L),P=12+L
	. SET L=+$EXTRACT(OP,P,P+9),S=$EXTRACT(OP,P+10,P+9+L),P=P+10+L
	. IF T="K" KILL @$$TPL(G,$$PARSE(S)) QUIT
	. SET @$$TPL(G,$$PARSE(S))=$EXTRACT(OP,P,$LENGTH(OP))
	TCOMMIT
	KILL VRNQ QUIT
LOCK(G,S,T,OK)	NEW A LOCK +@$$TPL(G,$$PARSE(S)):T SET OK=$TEST QUIT
UNLOCK(G,S)	NEW A LOCK -@$$TPL(G,$$PARSE(S)) QUIT
GBLDIR(P)	SET $ZGBLDIR=P QUIT
)M";

inline constexpr const char* kGtmCallIns =
    R"CI(vget: void GET^VRNGTM(I:gtm_char_t*,I:gtm_string_t*,O:gtm_string_t*,O:gtm_long_t*)
vget1: void G1^VRNGTM(I:gtm_char_t*,I:gtm_string_t*,O:gtm_string_t*,O:gtm_long_t*)
vget2: void G2^VRNGTM(I:gtm_char_t*,I:gtm_string_t*,I:gtm_string_t*,O:gtm_string_t*,O:gtm_long_t*)
vget3: void G3^VRNGTM(I:gtm_char_t*,I:gtm_string_t*,I:gtm_string_t*,I:gtm_string_t*,O:gtm_string_t*,O:gtm_long_t*)
vget4: void G4^VRNGTM(I:gtm_char_t*,I:gtm_string_t*,I:gtm_string_t*,I:gtm_string_t*,I:gtm_string_t*,O:gtm_string_t*,O:gtm_long_t*)
vget5: void G5^VRNGTM(I:gtm_char_t*,I:gtm_string_t*,I:gtm_string_t*,I:gtm_string_t*,I:gtm_string_t*,I:gtm_string_t*,O:gtm_string_t*,O:gtm_long_t*)
vget6: void G6^VRNGTM(I:gtm_char_t*,I:gtm_string_t*,I:gtm_string_t*,I:gtm_string_t*,I:gtm_string_t*,I:gtm_string_t*,I:gtm_string_t*,O:gtm_string_t*,O:gtm_long_t*)
vdata1: void D1^VRNGTM(I:gtm_char_t*,I:gtm_string_t*,O:gtm_long_t*)
vdata2: void D2^VRNGTM(I:gtm_char_t*,I:gtm_string_t*,I:gtm_string_t*,O:gtm_long_t*)
vdata3: void D3^VRNGTM(I:gtm_char_t*,I:gtm_string_t*,I:gtm_string_t*,I:gtm_string_t*,O:gtm_long_t*)
vdata4: void D4^VRNGTM(I:gtm_char_t*,I:gtm_string_t*,I:gtm_string_t*,I:gtm_string_t*,I:gtm_string_t*,O:gtm_long_t*)
vdata5: void D5^VRNGTM(I:gtm_char_t*,I:gtm_string_t*,I:gtm_string_t*,I:gtm_string_t*,I:gtm_string_t*,I:gtm_string_t*,O:gtm_long_t*)
vdata6: void D6^VRNGTM(I:gtm_char_t*,I:gtm_string_t*,I:gtm_string_t*,I:gtm_string_t*,I:gtm_string_t*,I:gtm_string_t*,I:gtm_string_t*,O:gtm_long_t*)
vdata: void DATA^VRNGTM(I:gtm_char_t*,I:gtm_string_t*,O:gtm_long_t*)
vset: void SET^VRNGTM(I:gtm_char_t*,I:gtm_string_t*,I:gtm_string_t*)
vkill: void KILL^VRNGTM(I:gtm_char_t*,I:gtm_string_t*)
vnext: void NEXT^VRNGTM(I:gtm_char_t*,I:gtm_string_t*,I:gtm_long_t,O:gtm_string_t*,O:gtm_string_t*,O:gtm_long_t*)
vprev: void PREV^VRNGTM(I:gtm_char_t*,I:gtm_string_t*,I:gtm_long_t,O:gtm_string_t*,O:gtm_string_t*,O:gtm_long_t*)
vsteps: void STEPS^VRNGTM(I:gtm_char_t*,I:gtm_string_t*,I:gtm_long_t,I:gtm_long_t,I:gtm_long_t,I:gtm_long_t,O:gtm_string_t*)
ventries: void ENTRIES^VRNGTM(I:gtm_char_t*,I:gtm_string_t*,I:gtm_long_t,I:gtm_long_t,I:gtm_long_t,I:gtm_long_t,O:gtm_string_t*)
vfirsts: void FIRSTS^VRNGTM(I:gtm_char_t*,I:gtm_string_t*,I:gtm_string_t*,O:gtm_string_t*)
vnames: void NAMES^VRNGTM(O:gtm_string_t*)
vadd: void ADD^VRNGTM(I:gtm_string_t*)
vdrop: void DROP^VRNGTM()
vcommit: void COMMIT^VRNGTM()
vlock: void LOCK^VRNGTM(I:gtm_char_t*,I:gtm_string_t*,I:gtm_long_t,O:gtm_long_t*)
vunlock: void UNLOCK^VRNGTM(I:gtm_char_t*,I:gtm_string_t*)
vgbldir: void GBLDIR^VRNGTM(I:gtm_char_t*)
)CI";

}  // namespace vorn::devserver
