#include "app/install_texts.h"

InstallTexts FrenchTexts()
{
    InstallTexts texts;
    texts.strCancel = u"Annuler";
    texts.strPortType = u"Sélectionner le type de port pour la communication avec la machine";
    texts.strDeleting = u">   Suppression du driver courant ...";
    texts.strFirmware = u">   Mise à jour du firmware ...";
    texts.strPreparing = u">   Préparation de l'installation ...";
    texts.strInstalling = u">   Installation du driver ...";
    texts.strNext = u"Suivant";
    texts.strOther = u"Autre";
    texts.strConnect = u">   Connecter la machine sur le port, la mettre sous tension";
    texts.strSelectPort =
        u">   Cliquer sur Suivant pour sélectionner le port pour la communication avec la machine";
    texts.strSwitchOff = u">   Mettre la machine hors tension";
    texts.strSwitchOn = u">   Mettre la machine sous tension";
    texts.strReminder = u"Rappel : Setup.exe doit être exécuté en tant qu'administrateur";
    return texts;
}

InstallTexts EnglishTexts()
{
    InstallTexts texts;
    texts.strCancel = u"Cancel";
    texts.strPortType = u"Select the port type for the communication with the machine";
    texts.strDeleting = u">   Deleting the current driver ...";
    texts.strFirmware = u">   Firmware update ...";
    texts.strPreparing = u">   Initializing installation ...";
    texts.strInstalling = u">   Driver installation ...";
    texts.strNext = u"Next";
    texts.strOther = u"Other";
    texts.strConnect = u">   Connect the machine to the port, switch it on";
    texts.strSelectPort =
        u">   Click Next to select the port for the communication with the machine";
    texts.strSwitchOff = u">   Switch off the machine";
    texts.strSwitchOn = u">   Switch on the machine";
    texts.strReminder = u"Reminder: Setup.exe must be run as administrator";
    return texts;
}

InstallTexts ChineseTexts()
{
    InstallTexts texts;
    texts.strCancel = u"取消";
    texts.strPortType = u"选择与机器通信的端口类型";
    texts.strDeleting = u">   删除当前驱动 ...";
    texts.strFirmware = u">   硬件更新 ...";
    texts.strPreparing = u">   准备安装 ...";
    texts.strInstalling = u">   安装驱动 ...";
    texts.strNext = u"下一步";
    texts.strOther = u"其他";
    texts.strConnect = u">   连接机器至端口并开机";
    texts.strSelectPort = u">   点击下一步，选择与机器通信的端口";
    texts.strSwitchOff = u">   关闭机器";
    texts.strSwitchOn = u">   开闭机器";
    texts.strReminder = u"提醒：setup.exe 必须以管理员身份运行";
    return texts;
}
