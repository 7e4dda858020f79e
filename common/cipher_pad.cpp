#include "common/cipher_pad.h"

namespace vorn {

// Fixed data: the client and the development server must hold the same table. Each row is a
// permutation of the printable characters from space to "~" without "^", so a scrambled text
// never holds the "^" that separates several scrambled codes in one parameter.
const std::array<std::string_view, kCipherPadRows> kCipherPad = {
    "C7RJv{`<VbtuL3ZM=w(P\?4*O0j,rhi&% !qWxzSYa91-\"6}gX8\\)DB.5nAds:eTIkp[c;_E$lK@Q+UN]2yoGmH~>fF|/'#",
    "yPu6&D@m0$F]+4~:,Ib!SW\"BV%C\?hec1|O>_opnxQaRziKY\\T) XEA`}t-d2g;f*/lHjN7ZM#k9qL=U8vr3.G'{5[(Jws<",
    "1(\"uSr-_5wEQ#D~XA9VR]B=FWbjCveG*;@\\yHf`4\?d6+O%&J<PotaY0U3|7{>:cmz$}qk)nl,iMs2'L !pI/N.Tg[Zx8hK",
    "$EVU,N~;e-25T!vo7|<KqcD\\\?/z:.{%StPbhp[+ys}1O_wWXC>Ln&8FlJ*43RM#`Ak6I'dQ]Y0jZm\"r@ag)Gu (H=B9fix",
    "Al]So1krX$!c6Yf49Uxp/CK%h\"BRW&s*mb:\?Ey0n#=_v({3D+i}7~Z.-H d,aMTug@<V'Jt8j2\\OGzNLF>Q)`;w5qe|IP[",
    "Sw[&QB;qvgprkMs*%z2jAi6Cnty|{<x(h4GK0OD85a$\?= )ZlEXJ,U/P>TWcuFoI#d-'`}]Y9\"L+f@13H:_RNm~V7!e\\b.",
    "x!6|HJ<Kl->NFP7XUZb5\\%iAqt~)_yv@1LTE8nO,a}=MS`$phkgjuB&w0;]{# efQ4VIcdrC.(2oR[z\?\"Y:+GDW3'm9s*/",
    "946xGI[$h-WAU23Y,)sR5S*_'=MeF;!q]%#.zp`o&n8:bCl>K\?ivN +gtaVQZfk{TuLPy1D(}7EHJ|@rc\\O0w~X<jd\"B/m",
    ">]th%zpxkR~UC:\"E(acT9KAoH;B_*$8yN,=WniL@[m/<{4qbVSrQ-'`ZvFg&jM)Y!2IsD3+e\\7}5|.J1G# flu0\?O6XdwP",
    "U<Vm's5 `fMW$ubZ=,}#*EY:lgk>tiKH&hPjqQ%~[|S\"O]TRCIL31\?xXez_4Jp(ro/wa!B8DG2{-69FNy\\7.+cAd;n0v)@",
    "nEA&\"ekU{7'sBG!fK[MS#Nm$D:O3.1iXjw5\?aHvqc,hJl/92oC=<xV`64_WurgT%btR(]d>-|)}P*L\\0z+ ~ZY8y@Q;pFI",
    "`MDI\?fH\\170l YtaO%g'USbv{)8sPA&(x[$_}K|]wQehWNR~iz;k53#J92c\">6Zq:BXTy!@G<jmCdou/*4+,nEL=p.-VrF",
    "+3Bap!LQC=,HS\?KI_t|Y>AgUFWvrEZl-*0[Jiuz/4bd&:%o}n12\"T#yehj79x\\5$Pkf{X.m6`<~)N 8;sVcD'O(Mq]@RGw",
    "0:Wf<>5jC;S*D@7F&iEVrNR|$#aq9x.gtolL]/H,ZAubyJ\"`+1kX 2UeO_dp\\I%c6M{Y!3n4}vz8-'~(wG[)sKBThP=\?Qm",
    "Dp2W\?['VIOs%$}v@AS\\zmFRo_n7KBNfiCbU-3r|wa#JP&M08X5,+.]<l uH\"6~>k1=)Lxt*{c;ey9ZT`/4jhYGQ!d(E:gq",
    "m~vd8!\\-t<2%=i&Tr>A$VelMqk\"U1RX9.bhxwL0Q fjEnDy|G_@N[;]3\?'57J,o:g)uO*CZWY`{#SzHaKPs4I/BFcp6+}(",
    "I#7{S\")o|K4RpPAx3rl0iM]h9,f6.a<;D:HG}t_+w'C!Jcj ~k1*5Y2bB=%(@LdqNszTFuUeW>\\-[Xg/V8vZ&`OmynQ\?E$",
    "uD+\"0*KrH1 WMBIYjd|b>Gy4=/;3p$RmF~&avQ68[`.gO,<c@xt)7(2SoiLqJz'N\?lhA]k{C:}XEwPVZ%T#!9U5fe\\ns_-",
    "1JdF\\)~KLBZlQ[O`Njp (x5tSGD=>-9ch*gA</%royvz{0i\";6|2\?Rk&3$ne:YEWHfwV}b_T8Ms,7']aPu@q4I!+Xm.UC#",
    "Ws1-]q<rYt\\BXlUZh7.x6=#C(JvL\?~+:!b4pP`auA2je@/cVgf5M\"dkS)|8w>3;9nHT0[G,I%m}_y&E{$zKF*iRoNDQO' ",
};

}  // namespace vorn
