// The M side of the GT.M engine: our own routine VRNGTM and the call-in table that names its
// entry points. Both are written into the database folder, where GT.M compiles the routine.
//
// Subscripts cross the call-in interface counted: ten decimal digits of length, then the
// bytes, for each subscript in turn. The routine builds references with $NAME, so M itself
// decides what is a canonic number and what a string, and control characters need no quoting.
#pragma once

namespace vorn::devserver {

inline constexpr const char* kGtmRoutineName = "VRNGTM";

inline constexpr const char* kGtmRoutine =
    R"M(VRNGTM	; Vorn's globals on GT.M: the entry points of vorn.ci
	QUIT
REF(G,S)	; ^G with the counted subscripts S
	NEW R,L,I SET R="^"_G,I=1
	FOR  QUIT:I>$LENGTH(S)  SET L=+$EXTRACT(S,I,I+9),R=$NAME(@R@($EXTRACT(S,I+10,I+9+L))),I=I+10+L
	QUIT R
SUBS(R)	; the counted subscripts of the reference R
	NEW O,I,X SET O=""
	FOR I=1:1:$QLENGTH(R) SET X=$QSUBSCRIPT(R,I),O=O_$TRANSLATE($JUSTIFY($LENGTH(X),10)," ","0")_X
	QUIT O
GET(G,S,V,D)	NEW R SET R=$$REF(G,S),D=$DATA(@R)#2,V=$SELECT(D:@R,1:"") QUIT
DATA(G,S,D)	SET D=$DATA(@$$REF(G,S)) QUIT
SET(G,S,V)	SET @$$REF(G,S)=V QUIT
KILL(G,S)	KILL @$$REF(G,S) QUIT
NEXT(G,S,SKIP,O,V,F)	; the first node with a value after ^G(S), past its descendants when SKIP
	NEW Q SET Q=$$NXT($$REF(G,S),SKIP),F=0,O="",V=""
	QUIT:Q=""  QUIT:$QLENGTH(Q)=0
	SET O=$$SUBS(Q),V=@Q,F=1 QUIT
PREV(G,S,WITHIN,O,V,F)	; the last node with a value before ^G(S), or at its end when WITHIN
	NEW Q SET Q=$$PRV($$REF(G,S),WITHIN),F=0,O="",V=""
	QUIT:Q=""  QUIT:$QLENGTH(Q)=0
	SET O=$$SUBS(Q),V=@Q,F=1 QUIT
STEPS(G,S,DIR,FLAG,N,VALUES,O)	; up to N nodes one after another from ^G(S), as NEXT or PREV
	; finds them, each its counted subscripts, counted, and with VALUES its counted value
	NEW R,Q,I,V SET R=$$REF(G,S),O=""
	FOR I=1:1:N SET Q=$SELECT(DIR>0:$$NXT(R,FLAG),1:$$PRV(R,FLAG)) QUIT:Q=""  QUIT:$QLENGTH(Q)=0  DO  QUIT:$LENGTH(O)>524288
	. SET R=Q,V=@Q,Q=$$SUBS(Q),O=O_$TRANSLATE($JUSTIFY($LENGTH(Q),10)," ","0")_Q,FLAG=0
	. IF VALUES SET O=O_$TRANSLATE($JUSTIFY($LENGTH(V),10)," ","0")_V
	QUIT
NXT(R,SKIP)	; the node with a value after R in key order, past R's descendants when SKIP
	NEW X
	IF 'SKIP QUIT $QUERY(@R)
	SET X="" FOR  QUIT:$QLENGTH(R)=0  SET X=$ORDER(@R) QUIT:X'=""  SET R=$NAME(@R,$QLENGTH(R)-1)
	IF X="" QUIT ""
	SET R=$NAME(@$NAME(@R,$QLENGTH(R)-1)@(X))
	QUIT $SELECT($DATA(@R)#2:R,1:$QUERY(@R))
PRV(R,WITHIN)	; the node with a value before R in key order, or the last of R's subtree when WITHIN
	NEW N,X,Q SET Q=""
	IF WITHIN DO  QUIT:Q'="" Q
	. SET N=R FOR  SET X=$ORDER(@N@(""),-1) QUIT:X=""  SET N=$NAME(@N@(X))
	. IF N'=R SET Q=N QUIT
	. IF $QLENGTH(R),$DATA(@R)#2 SET Q=R
	; GT.M's $QUERY goes forward only: back through earlier siblings' last nodes, then parents
	FOR  QUIT:$QLENGTH(R)=0  SET X=$ORDER(@R,-1) DO  QUIT:Q'=""  SET R=$NAME(@R,$QLENGTH(R)-1) IF $QLENGTH(R),$DATA(@R)#2 SET Q=R QUIT
	. QUIT:X=""
	. SET N=$NAME(@$NAME(@R,$QLENGTH(R)-1)@(X)) FOR  SET X=$ORDER(@N@(""),-1) QUIT:X=""  SET N=$NAME(@N@(X))
	. SET Q=N
	QUIT Q
NAMES(O)	; the globals that hold anything, comma-separated
	NEW N SET N="^%",O="" FOR  SET N=$ORDER(@N) QUIT:N=""  SET O=O_$EXTRACT(N,2,$LENGTH(N))_","
	QUIT
ADD(OP)	; one write of the transaction being gathered
	SET VRNQ($INCREMENT(VRNQ))=OP QUIT
DROP()	KILL VRNQ QUIT
COMMIT()	; the gathered writes as one transaction: kills first, then sets
	NEW I,OP,T,L,G,S,P
	TSTART ():SERIAL
	SET I="" FOR  SET I=$ORDER(VRNQ(I)) QUIT:I=""  SET OP=VRNQ(I) DO
	. SET T=$EXTRACT(OP),L=+$EXTRACT(OP,2,11),G=$EXTRACT(OP,12,11+L),P=12+L
	. SET L=+$EXTRACT(OP,P,P+9),S=$EXTRACT(OP,P+10,P+9+L),P=P+10+L
	. IF T="K" KILL @$$REF(G,S) QUIT
	. SET @$$REF(G,S)=$EXTRACT(OP,P,$LENGTH(OP))
	TCOMMIT
	KILL VRNQ QUIT
LOCK(G,S,T,OK)	LOCK +@$$REF(G,S):T SET OK=$TEST QUIT
UNLOCK(G,S)	LOCK -@$$REF(G,S) QUIT
GBLDIR(P)	SET $ZGBLDIR=P QUIT
)M";

inline constexpr const char* kGtmCallIns =
    R"CI(vget: void GET^VRNGTM(I:gtm_char_t*,I:gtm_string_t*,O:gtm_string_t*,O:gtm_long_t*)
vdata: void DATA^VRNGTM(I:gtm_char_t*,I:gtm_string_t*,O:gtm_long_t*)
vset: void SET^VRNGTM(I:gtm_char_t*,I:gtm_string_t*,I:gtm_string_t*)
vkill: void KILL^VRNGTM(I:gtm_char_t*,I:gtm_string_t*)
vnext: void NEXT^VRNGTM(I:gtm_char_t*,I:gtm_string_t*,I:gtm_long_t,O:gtm_string_t*,O:gtm_string_t*,O:gtm_long_t*)
vprev: void PREV^VRNGTM(I:gtm_char_t*,I:gtm_string_t*,I:gtm_long_t,O:gtm_string_t*,O:gtm_string_t*,O:gtm_long_t*)
vsteps: void STEPS^VRNGTM(I:gtm_char_t*,I:gtm_string_t*,I:gtm_long_t,I:gtm_long_t,I:gtm_long_t,I:gtm_long_t,O:gtm_string_t*)
vnames: void NAMES^VRNGTM(O:gtm_string_t*)
vadd: void ADD^VRNGTM(I:gtm_string_t*)
vdrop: void DROP^VRNGTM()
vcommit: void COMMIT^VRNGTM()
vlock: void LOCK^VRNGTM(I:gtm_char_t*,I:gtm_string_t*,I:gtm_long_t,O:gtm_long_t*)
vunlock: void UNLOCK^VRNGTM(I:gtm_char_t*,I:gtm_string_t*)
vgbldir: void GBLDIR^VRNGTM(I:gtm_char_t*)
)CI";

}  // namespace vorn::devserver
